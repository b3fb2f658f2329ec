// SPDX-License-Identifier: GPL-3.0-or-later
#include "uikit/AlertPresenter.h"

#include "platform/NotificationQueue.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QListWidget>
#include <QScreen>
#include <QRegularExpression>
#include <QPushButton>
#include <QStyle>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

namespace {
AlertPresenter* currentPresenter = nullptr;

constexpr int TEXT_WIDTH = 300;
// The rows all lists show together before they scroll; each shows at least a few.
constexpr int LIST_ROWS = 12;
constexpr int LIST_MIN_ROWS = 3;

QLabel* plainLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setMinimumWidth(TEXT_WIDTH);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setText(text);
    return label;
}
// Escapes the text and makes each http(s) address a link to itself, so text
// from outside can never bring markup of its own.
QLabel* linkLabel(const QString& text, QWidget* parent)
{
    static const QRegularExpression address(QStringLiteral(R"(https?://[^\s<>"]+)"));
    QString html;
    qsizetype last = 0;
    for (auto it = address.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        html += text.mid(last, match.capturedStart() - last).toHtmlEscaped();
        const QString url = match.captured().toHtmlEscaped();
        html += QStringLiteral("<a href=\"%1\">%1</a>").arg(url);
        last = match.capturedEnd();
    }
    html += text.mid(last).toHtmlEscaped();
    html.replace(QLatin1Char('\n'), QStringLiteral("<br>"));
    QLabel* label = plainLabel(QString(), parent);
    label->setTextFormat(Qt::RichText);
    label->setTextInteractionFlags(Qt::TextBrowserInteraction);
    label->setOpenExternalLinks(true);
    label->setText(html);
    return label;
}
} // namespace

AlertPresenter& AlertPresenter::current()
{
    static DialogAlertPresenter dialogPresenter;
    return currentPresenter ? *currentPresenter : dialogPresenter;
}

void AlertPresenter::setCurrent(AlertPresenter* presenter)
{
    currentPresenter = presenter;
}

int DialogAlertPresenter::runAlert(const AlertRequest& request)
{
    return runAlertWithCheckbox(request).button;
}

namespace {
// Lays the request out in `dialog`; a pressed button hands its index to
// `pressed` and closes the dialog. Answers the checkbox, if any.
QCheckBox* buildAlert(QDialog& dialog, const AlertRequest& request, const std::function<void(int)>& pressed)
{
    dialog.setWindowTitle(QApplication::applicationDisplayName());

    auto* icon = new QLabel(&dialog);
    const auto standardIcon = request.style == AlertStyle::warning ? QStyle::SP_MessageBoxWarning
                                                                   : QStyle::SP_MessageBoxInformation;
    const int iconSize = dialog.style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, &dialog);
    icon->setPixmap(dialog.style()->standardIcon(standardIcon, nullptr, &dialog).pixmap(iconSize));
    icon->setAlignment(Qt::AlignTop);

    auto* message = plainLabel(request.messageText, &dialog);
    QFont bold = message->font();
    bold.setBold(true);
    message->setFont(bold);
    auto* informative = request.linkify ? linkLabel(request.informativeText, &dialog)
                                        : plainLabel(request.informativeText, &dialog);
    informative->setVisible(!request.informativeText.isEmpty());

    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch(1);
    const QStringList titles = request.buttons.isEmpty() ? QStringList { QStringLiteral("OK") } : request.buttons;
    for (int i = 0; i < titles.size(); ++i) {
        auto* button = new QPushButton(&dialog);
        // An ampersand in a title is text, not a mnemonic marker.
        button->setText(QString(titles[i]).replace(QLatin1Char('&'), QStringLiteral("&&")));
        if (i < request.keyEquivalents.size() && !request.keyEquivalents[i].isEmpty())
            button->setShortcut(QKeySequence(request.keyEquivalents[i]));
        if (i == 0) {
            button->setDefault(true);
            button->setFocus();
        }
        buttonRow->addWidget(button);
        QObject::connect(button, &QPushButton::clicked, &dialog, [&dialog, pressed, i] {
            pressed(i);
            dialog.accept();
        });
    }
    auto* texts = new QVBoxLayout;
    texts->addWidget(message);
    texts->addWidget(informative);
    const qsizetype rowsPerList
        = request.lists.isEmpty() ? 0 : std::max<qsizetype>(LIST_MIN_ROWS, LIST_ROWS / request.lists.size());
    for (const AlertList& list : request.lists) {
        auto* title = plainLabel(list.title, &dialog);
        auto* items = new QListWidget(&dialog);
        items->addItems(list.items);
        items->setAccessibleName(list.title);
        items->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        items->setUniformItemSizes(true);
        const int rows = static_cast<int>(std::min(list.items.size(), rowsPerList));
        const int rowHeight = std::max(items->sizeHintForRow(0), items->fontMetrics().height());
        items->setFixedHeight(rows * rowHeight + 2 * items->frameWidth()
            + items->horizontalScrollBar()->sizeHint().height());
        title->setBuddy(items);
        texts->addWidget(title);
        texts->addWidget(items);
    }
    QCheckBox* checkbox = nullptr;
    if (!request.checkboxTitle.isEmpty()) {
        checkbox = new QCheckBox(request.checkboxTitle, &dialog);
        texts->addWidget(checkbox);
    }
    auto* body = new QHBoxLayout;
    body->addWidget(icon);
    body->addLayout(texts, 1);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addLayout(body);
    layout->addLayout(buttonRow);
    // Never taller or wider than the screen it opens on.
    if (const QScreen* screen = dialog.screen())
        dialog.setMaximumSize(screen->availableGeometry().size());
    return checkbox;
}
} // namespace

AlertAnswer DialogAlertPresenter::runAlertWithCheckbox(const AlertRequest& request)
{
    QDialog dialog(QApplication::activeWindow());
    dialog.setWindowModality(Qt::ApplicationModal);
    int pressed = AlertPresenter::NO_BUTTON;
    QCheckBox* checkbox = buildAlert(dialog, request, [&pressed](int i) { pressed = i; });
    ModalScope modal;
    dialog.exec();
    return { pressed, checkbox && checkbox->isChecked() };
}

void DialogAlertPresenter::showNotice(const AlertRequest& request)
{
    auto* dialog = new QDialog(QApplication::activeWindow());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::NonModal);
    // Typing in the window goes on where it was; a screen reader hears the
    // notice from the alert event.
    dialog->setAttribute(Qt::WA_ShowWithoutActivating);
    dialog->setAccessibleName(request.messageText);
    dialog->setAccessibleDescription(request.informativeText);
    buildAlert(*dialog, request, [](int) { });
    dialog->show();
    QAccessibleEvent alert(dialog, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

void DialogAlertPresenter::presentSheet(QDialog* sheet, QWidget* parent)
{
    if (parent && sheet->parentWidget() != parent->window())
        sheet->setParent(parent->window(), sheet->windowFlags());
    // open() shows the dialog window-modal and returns at once.
    sheet->open();
}

void DialogAlertPresenter::dismissSheet(QDialog* sheet)
{
    sheet->hide();
    // Hidden sheets belong to no window, so closing a window never takes one along.
    sheet->setParent(nullptr, sheet->windowFlags());
}
