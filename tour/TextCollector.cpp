#include "tour/TextCollector.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
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

// Menus and lists keep their texts in actions and models rather than in child widgets.
QStringList heldTexts(const QWidget* widget)
{
    QStringList texts;
    if (const auto* bar = qobject_cast<const QMenuBar*>(widget)) {
        for (const QAction* title : bar->actions()) {
            texts.append(title->text());
            for (const QAction* item : title->menu() ? title->menu()->actions() : QList<QAction*>())
                texts.append(item->text());
        }
    }
    if (const auto* view = qobject_cast<const QAbstractItemView*>(widget); view && view->model()) {
        const QAbstractItemModel* model = view->model();
        for (int row = 0; row < model->rowCount(); ++row) {
            for (int column = 0; column < model->columnCount(); ++column)
                texts.append(model->index(row, column).data().toString());
        }
    }
    return texts;
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
        for (const QString& held : widget->isVisible() ? heldTexts(widget) : QStringList()) {
            if (!held.trimmed().isEmpty())
                seen.append({placeOf(widget, screen), held.trimmed()});
        }
    }
    return seen;
}

} // namespace TextCollector
