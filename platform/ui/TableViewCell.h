#pragma once

#include <QString>
#include <QWidget>

// One row of a table view. Cells are made once per reuse identifier and handed out again
// as rows scroll in and out of sight; a selected cell shows a highlight unless its
// selection style is None.
class TableViewCell : public QWidget
{
    Q_OBJECT

public:
    enum class SelectionStyle { None, Default };

    explicit TableViewCell(const QString& reuseIdentifier, QWidget* parent = nullptr);

    QString reuseIdentifier() const { return m_reuseIdentifier; }
    SelectionStyle selectionStyle() const { return m_selectionStyle; }
    void setSelectionStyle(SelectionStyle style);
    bool isSelected() const { return m_selected; }
    void setSelected(bool selected);
    // Whether the selection is drawn now.
    bool showsHighlight() const { return m_selected && m_selectionStyle != SelectionStyle::None; }

    // Called when the cell goes into the reuse queue.
    virtual void prepareForReuse() {}

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_reuseIdentifier;
    SelectionStyle m_selectionStyle = SelectionStyle::Default;
    bool m_selected = false;
};
