// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tokenui/TokenTextAttachmentInfo.h"

#include <QFrame>

#include <optional>

class QFormLayout;
class QLineEdit;

// A popover that edits one chip of a token field. It fills its controls from
// the chip when shown, writes them back when it closes, then asks the rule
// editor to save and gives the keyboard focus back to the field. When the chip
// is no longer where it was (the rule changed meanwhile), nothing is written.
class TokenAttributeViewController : public QFrame {
    Q_OBJECT
public:
    // The popover of the chip's kind of token.
    static TokenAttributeViewController* makeControllerForTokenItem(const TokenTextAttachmentInfo& info);

    const std::optional<TokenTextAttachmentInfo>& tokenAttachmentInfo() const { return m_info; }
    void setTokenAttachmentInfo(const TokenTextAttachmentInfo& info) { m_info = info; }

    // Fills the controls and shows the popover under the chip.
    void present();

    // The digits of a text: an optional sign and ASCII digits only; none otherwise.
    static std::optional<qint64> integerValue(const QString& text);

protected:
    explicit TokenAttributeViewController(QWidget* parent = nullptr);

    // The item shown: the chip's, when there is one.
    virtual void viewDidLoad(const TokenItem& item) = 0;
    // Writes the controls into the chip's item.
    virtual void writeBack(TokenItem& item) = 0;

    QFormLayout* form() const { return m_form; }
    // A labelled text field of the form; with `stepsWithArrows`, Up and Down
    // add and take one.
    QLineEdit* addTextField(const QString& label, const QString& accessibleName, bool stepsWithArrows = false);

    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void viewWillDisappear();

    std::optional<TokenTextAttachmentInfo> m_info;
    QFormLayout* m_form;
    bool m_loaded = false;
    bool m_closed = false;
};

// Prefix and suffix of a text attribute.
class TokenAttributeStringView : public TokenAttributeViewController {
    Q_OBJECT
public:
    explicit TokenAttributeStringView(QWidget* parent = nullptr);
    QLineEdit* prefixTextField;
    QLineEdit* suffixTextField;

protected:
    void viewDidLoad(const TokenItem& item) override;
    void writeBack(TokenItem& item) override;
};

// Prefix, suffix and the number of digits of a number attribute.
class TokenAttributeNumberView : public TokenAttributeStringView {
    Q_OBJECT
public:
    explicit TokenAttributeNumberView(QWidget* parent = nullptr);
    QLineEdit* digitsText;

protected:
    void viewDidLoad(const TokenItem& item) override;
    void writeBack(TokenItem& item) override;
};
