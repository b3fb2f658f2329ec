// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QWidget>

#include <functional>

class QLabel;
class QLineEdit;
class QToolButton;

// The small popover in which the user writes a rule's description beside the
// help text of the rule's kind. It hands the description to its completion
// handler when it closes and never touches the rule list itself.
class DescriptionEditView : public QWidget {
    Q_OBJECT
public:
    using CompletionHandler = std::function<void(const QString&)>;

    explicit DescriptionEditView(QWidget* parent = nullptr);
    DescriptionEditView(const QString& helpText, const QString& description, CompletionHandler completionHandler,
        QWidget* parent = nullptr);

    QLineEdit* tooltipTextField() const { return m_tooltipTextField; }
    QLabel* helpTextField() const { return m_helpTextField; }
    QToolButton* binButton() const { return m_binButton; }

    // Set before the popover is shown.
    void setCompletionHandler(CompletionHandler handler) { m_completionHandler = std::move(handler); }
    void setHelpTextValue(const QString& text) { m_helpTextValue = text; }
    void setDescriptionValue(const QString& text) { m_descriptionValue = text; }
    const QString& helpTextValue() const { return m_helpTextValue; }
    const QString& descriptionValue() const { return m_descriptionValue; }

    // Shows the popover beside the right edge of `anchor`.
    void presentBeside(QWidget* anchor);

    void tooltipChanged();
    void binButtonAction();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void loadView();
    void viewDidLoad();
    void viewDidAppear();
    void viewWillDisappear();

    QLineEdit* m_tooltipTextField;
    QLabel* m_helpTextField;
    QToolButton* m_binButton;
    CompletionHandler m_completionHandler;
    QString m_helpTextValue;
    QString m_descriptionValue;
    bool m_viewLoaded = false;
};
