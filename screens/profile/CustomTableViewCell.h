#pragma once

#include "platform/ui/ImageView.h"
#include "platform/ui/TableViewCell.h"

#include <QLabel>
#include <QPointer>

class ImageLoader;

// One row of the weekly ranking list: the rank, the rider's avatar, name and level.
class CustomTableViewCell : public TableViewCell
{
    Q_OBJECT

public:
    static constexpr const char* Identifier = "customCell";

    // `images` loads the avatars; without one a row shows none.
    explicit CustomTableViewCell(ImageLoader* images, QWidget* parent = nullptr);

    // "NO.%ld".
    void Setpaiming(qint64 paiming);
    // Loads the avatar at `address`, the placeholder showing until it arrives.
    void RefshImage(const QString& address);
    void SetUsername(const QString& username);
    // "%@ %@级" with the level name first, then the level.
    void SetLevelName(const QString& level, const QString& levelname);

    // A cell taken for another row starts blank, so a rank without a cached rider shows its
    // number only.
    void prepareForReuse() override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QPointer<QLabel> m_paiming;
    ImageLoader* m_images;
    QPointer<ImageView> m_cellimage;
    QPointer<QLabel> m_username;
    QPointer<QLabel> m_levelname;
};
