#include "platform/ui/AlertController.h"

#include "platform/Localized.h"
#include "platform/ui/Theme.h"
#include "platform/ui/Window.h"

#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QList<QPointer<AlertController>>& shownAlerts()
{
    static QList<QPointer<AlertController>> alerts;
    return alerts;
}

QPushButton* makeButton(const QString& title, AlertController::ActionStyle style)
{
    auto* button = new QPushButton(title);
    button->setFlat(true);
    button->setCursor(Qt::PointingHandCursor);
    button->setMinimumHeight(44);
    QString color = style == AlertController::ActionStyle::Destructive ? QStringLiteral("#d9453a")
                                                                       : Theme::Accent.name();
    const QString weight = style == AlertController::ActionStyle::Cancel ? QStringLiteral("400")
                                                                         : QStringLiteral("600");
    button->setStyleSheet(
        QStringLiteral("QPushButton{border:none;background:transparent;color:%1;font-size:16px;"
                       "font-weight:%2;}QPushButton:pressed{background:rgba(0,0,0,18);}")
            .arg(color, weight));
    return button;
}

} // namespace

AlertController::AlertController(const QString& title, const QString& message)
    : m_title(title), m_message(message), m_card(new QWidget(this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    m_card->setObjectName(QStringLiteral("alertCard"));
    m_card->setStyleSheet(QStringLiteral("#alertCard{background:white;border-radius:14px;}"));
    m_cardLayout = new QVBoxLayout(m_card);
    m_cardLayout->setContentsMargins(0, 18, 0, 0);
    m_cardLayout->setSpacing(6);
    if (!title.isEmpty()) {
        auto* label = new QLabel(title, m_card);
        label->setAlignment(Qt::AlignCenter);
        label->setWordWrap(true);
        label->setStyleSheet(QStringLiteral("font-size:17px;font-weight:600;color:#1c1c1e;"
                                            "padding:0 16px;"));
        m_cardLayout->addWidget(label);
    }
    if (!message.isEmpty()) {
        auto* label = new QLabel(message, m_card);
        label->setAlignment(Qt::AlignCenter);
        label->setWordWrap(true);
        label->setStyleSheet(QStringLiteral("font-size:14px;color:#3a3a3c;padding:0 16px;"));
        m_cardLayout->addWidget(label);
    }
}

AlertController::~AlertController()
{
    shownAlerts().removeAll(this);
}

void AlertController::addAction(const QString& title, ActionStyle style,
                                std::function<void()> handler)
{
    m_actions.append(Action{title, style, std::move(handler)});
}

QLineEdit* AlertController::addTextField(const QString& placeholder)
{
    auto* field = new QLineEdit(m_card);
    field->setPlaceholderText(placeholder);
    field->setMinimumHeight(30);
    field->setStyleSheet(QStringLiteral("QLineEdit{border:1px solid #c7c7cc;border-radius:6px;"
                                        "padding:2px 8px;font-size:14px;margin:4px 16px;}"));
    m_cardLayout->addWidget(field);
    m_fields.append(field);
    return field;
}

void AlertController::buildButtons()
{
    m_cardLayout->addSpacing(12);
    auto* line = new QFrame(m_card);
    line->setFixedHeight(1);
    line->setStyleSheet(QStringLiteral("background:#dcdce0;"));
    m_cardLayout->addWidget(line);
    m_buttonRow = new QWidget(m_card);
    // Two buttons sit side by side, more stack up, as phones show them.
    QBoxLayout* layout = m_actions.size() == 2 ? static_cast<QBoxLayout*>(new QHBoxLayout)
                                               : static_cast<QBoxLayout*>(new QVBoxLayout);
    m_buttonRow->setLayout(layout);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (int i = 0; i < m_actions.size(); ++i) {
        if (i > 0) {
            auto* divider = new QFrame(m_buttonRow);
            if (m_actions.size() == 2)
                divider->setFixedWidth(1);
            else
                divider->setFixedHeight(1);
            divider->setStyleSheet(QStringLiteral("background:#dcdce0;"));
            layout->addWidget(divider);
        }
        QPushButton* button = makeButton(m_actions[i].title, m_actions[i].style);
        connect(button, &QPushButton::clicked, this, [this, i] { pressAction(i); });
        layout->addWidget(button);
    }
    m_cardLayout->addWidget(m_buttonRow);
}

bool AlertController::presentOver(QWidget* anchor)
{
    QWidget* window = Window::containing(anchor);
    if (!window) {
        deleteLater();
        return false;
    }
    for (AlertController* other : visibleAlerts()) {
        if (other->parentWidget() == window) {
            deleteLater();
            return false;
        }
    }
    setParent(window);
    buildButtons();
    window->installEventFilter(this);
    fitToWindow();
    shownAlerts().append(this);
    show();
    raise();
    if (!m_fields.isEmpty())
        m_fields.first()->setFocus();
    return true;
}

AlertController* AlertController::showTip(QWidget* anchor, const QString& message)
{
    auto* alert = new AlertController(Localized::string(QStringLiteral("提示")), message);
    alert->addAction(Localized::string(QStringLiteral("确定")), ActionStyle::Default);
    return alert->presentOver(anchor) ? alert : nullptr;
}

void AlertController::fitToWindow()
{
    if (!parentWidget())
        return;
    setGeometry(parentWidget()->rect());
    const int cardWidth = qMin(270, qMax(200, width() - 40));
    m_card->setFixedWidth(cardWidth);
    // Wrapped messages need the height that goes with the card's width.
    const int cardHeight = m_card->hasHeightForWidth() ? m_card->heightForWidth(cardWidth)
                                                       : m_card->sizeHint().height();
    m_card->setGeometry((width() - cardWidth) / 2, (height() - cardHeight) / 2, cardWidth,
                        cardHeight);
}

bool AlertController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        fitToWindow();
    return QWidget::eventFilter(watched, event);
}

void AlertController::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0, 0, 0, 90));
}

QStringList AlertController::actionTitles() const
{
    QStringList titles;
    for (const Action& action : m_actions)
        titles.append(action.title);
    return titles;
}

AlertController::ActionStyle AlertController::actionStyle(int index) const
{
    return m_actions.value(index, Action{QString(), ActionStyle::Default, {}}).style;
}

void AlertController::pressAction(int index)
{
    if (m_closing || index < 0 || index >= m_actions.size())
        return;
    m_closing = true;
    const std::function<void()> handler = m_actions[index].handler;
    shownAlerts().removeAll(this);
    hide();
    emit closed();
    deleteLater();
    if (handler)
        handler();
}

bool AlertController::pressAction(const QString& title)
{
    const int index = int(actionTitles().indexOf(title));
    if (index < 0)
        return false;
    pressAction(index);
    return true;
}

QList<AlertController*> AlertController::visibleAlerts()
{
    QList<AlertController*> alerts;
    for (const QPointer<AlertController>& alert : shownAlerts()) {
        if (alert && !alert->m_closing)
            alerts.append(alert);
    }
    return alerts;
}

AlertController* AlertController::topAlert()
{
    const QList<AlertController*> alerts = visibleAlerts();
    return alerts.isEmpty() ? nullptr : alerts.last();
}
