// SPDX-License-Identifier: GPL-3.0-or-later
#include "message_box_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

#include "dialog_layout.h"

namespace wp2 {

namespace {

constexpr int kIconPixels = 24;
constexpr int kMargin = 6;
constexpr int kButtonWidth = 56;
// Width a button takes in the row, with the room around it.
constexpr int kButtonRoom = 64;
constexpr int kSmallestWidth = 120;

QStyle::StandardPixmap pixmapFor(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information:
            return QStyle::SP_MessageBoxInformation;
        case MessageIcon::Exclamation:
        case MessageIcon::Warning:
            return QStyle::SP_MessageBoxWarning;
        case MessageIcon::Stop:
            return QStyle::SP_MessageBoxCritical;
        case MessageIcon::Question:
            return QStyle::SP_MessageBoxQuestion;
        case MessageIcon::None:
            break;
    }
    return QStyle::SP_CustomBase;
}

}  // namespace

MessageBoxDialog::MessageBoxDialog(const std::string& text, const std::string& caption,
                                   MessageIcon icon, MessageButtons buttons, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(uiText(caption));
    setFont(dialogFont());

    auto* top = new QHBoxLayout;
    top->setSpacing(scaled(kMargin));
    int iconRoom = 0;
    if (icon != MessageIcon::None) {
        auto* picture = new QLabel(this);
        picture->setObjectName("icon");
        // The style's icon may be smaller than asked for: it is stretched.
        picture->setFixedSize(scaled(kIconPixels), scaled(kIconPixels));
        picture->setScaledContents(true);
        picture->setPixmap(style()->standardIcon(pixmapFor(icon)).pixmap(scaled(kIconPixels)));
        picture->setAlignment(Qt::AlignTop);
        top->addWidget(picture, 0, Qt::AlignTop);
        iconRoom = scaled(kIconPixels + kMargin);
    }
    text_ = new QLabel(uiText(text), this);
    text_->setWordWrap(true);
    text_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    top->addWidget(text_, 1);

    auto* row = new QHBoxLayout;
    row->addStretch(1);
    switch (buttons) {
        case MessageButtons::Ok:
            addButton(MessageResult::Ok, "OK");
            hasEscape_ = true;
            escapeAnswer_ = MessageResult::Ok;
            break;
        case MessageButtons::OkCancel:
            addButton(MessageResult::Ok, "OK");
            addButton(MessageResult::Cancel, "Cancel");
            hasEscape_ = true;
            break;
        case MessageButtons::YesNo:
            addButton(MessageResult::Yes, "Yes");
            addButton(MessageResult::No, "No");
            break;
        case MessageButtons::YesNoCancel:
            addButton(MessageResult::Yes, "Yes");
            addButton(MessageResult::No, "No");
            addButton(MessageResult::Cancel, "Cancel");
            hasEscape_ = true;
            break;
    }
    for (auto& [result, b] : buttons_) {
        row->addWidget(b);
    }
    row->addStretch(1);
    buttons_.front().second->setDefault(true);

    auto* all = new QVBoxLayout(this);
    const int margin = scaled(kMargin);
    all->setContentsMargins(margin, margin, margin, margin);
    all->setSpacing(margin * 2);
    all->addLayout(top);
    all->addLayout(row);

    // As wide as the longest line needs, but never wider than the screen; the
    // text wraps within that and the height follows.
    int widest = 0;
    for (const QString& line : text_->text().split('\n')) {
        widest = std::max(widest, text_->fontMetrics().horizontalAdvance(line));
    }
    const int buttonsWidth = static_cast<int>(buttons_.size()) * scaled(kButtonRoom);
    const int width = std::clamp(std::max(widest + iconRoom, buttonsWidth) + 2 * margin + scaled(2),
                                 scaled(kSmallestWidth), scaled(kDialogMaxWidth));
    setFixedWidth(width);
    setFixedHeight(std::min(all->heightForWidth(width), scaled(kDialogMaxHeight)));
}

void MessageBoxDialog::addButton(MessageResult result, const char* text) {
    auto* b = new QPushButton(text, this);
    b->setMinimumWidth(scaled(kButtonWidth));
    b->setAutoDefault(true);
    connect(b, &QPushButton::clicked, this, [this, result] { finishWith(result); });
    buttons_.emplace_back(result, b);
}

QPushButton* MessageBoxDialog::button(MessageResult result) const {
    for (const auto& [r, b] : buttons_) {
        if (r == result) {
            return b;
        }
    }
    return nullptr;
}

void MessageBoxDialog::reject() {
    if (hasEscape_) {
        finishWith(escapeAnswer_);
    }
}

void MessageBoxDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    bringToFront(*this);
}

void MessageBoxDialog::finishWith(MessageResult result) {
    answer_ = result;
    done(static_cast<int>(result));
}

}  // namespace wp2
