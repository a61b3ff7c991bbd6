#include "tour/TextCollector.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QTextDocumentFragment>
#include <QWidget>

namespace TextCollector {

namespace {

QString plain(const QString& text)
{
    return Qt::mightBeRichText(text) ? QTextDocumentFragment::fromHtml(text).toPlainText() : text;
}

QString placeOf(const QWidget* widget, const QString& screen)
{
    const QString name = widget->objectName().isEmpty()
                             ? QString::fromLatin1(widget->metaObject()->className())
                             : widget->objectName();
    return screen + QLatin1Char('/') + name;
}

// What the rider types is theirs; a field shows only its hint as the app's text.
QString textOf(const QWidget* widget)
{
    if (const auto* label = qobject_cast<const QLabel*>(widget))
        return plain(label->text());
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
        return button->text();
    if (const auto* field = qobject_cast<const QLineEdit*>(widget))
        return field->placeholderText();
    return QString();
}

} // namespace

QList<Seen> visibleTexts(QWidget* window, const QString& screen)
{
    QList<Seen> seen;
    if (!window->windowTitle().isEmpty())
        seen.append({screen + QStringLiteral("/window title"), window->windowTitle()});
    for (const QWidget* widget : window->findChildren<QWidget*>()) {
        const QString text = widget->isVisible() ? textOf(widget).trimmed() : QString();
        if (!text.isEmpty())
            seen.append({placeOf(widget, screen), text});
    }
    return seen;
}

} // namespace TextCollector
