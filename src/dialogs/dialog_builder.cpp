// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialog_builder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include "dialog_layout.h"

namespace wp2 {

namespace {

// Check boxes and radio buttons answer a tap anywhere in their rectangle, as
// the handheld's controls do, not only on the box and the text.
template <typename Button>
class WholeAreaButton : public Button {
public:
    using Button::Button;

protected:
    bool hitButton(const QPoint& pos) const override { return this->rect().contains(pos); }
};

}  // namespace

DialogBuilder::DialogBuilder(QDialog& dialog, std::string_view title, int width, int height)
    : dialog_(dialog) {
    dialog_.setWindowTitle(uiText(title));
    dialog_.setFont(dialogFont());
    dialog_.setFixedSize(dluSize(width, height));
}

template <typename W>
W* DialogBuilder::place(W* widget, int x, int y, int w, int h) {
    widget->setGeometry(dluRect(x, y, w, h));
    return widget;
}

QLabel* DialogBuilder::label(std::string_view text, int x, int y, int w, int h) {
    auto* l = place(new QLabel(uiText(text), &dialog_), x, y, w, h);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    l->setWordWrap(true);
    return l;
}

QLabel* DialogBuilder::centredLabel(std::string_view text, int x, int y, int w, int h) {
    QLabel* l = label(text, x, y, w, h);
    l->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    return l;
}

QPushButton* DialogBuilder::button(std::string_view text, int x, int y, int w, int h) {
    auto* b = place(new QPushButton(uiText(text), &dialog_), x, y, w, h);
    b->setAutoDefault(false);
    return b;
}

QCheckBox* DialogBuilder::checkBox(std::string_view text, int x, int y, int w, int h) {
    return place(new WholeAreaButton<QCheckBox>(uiText(text), &dialog_), x, y, w, h);
}

QRadioButton* DialogBuilder::radio(std::string_view text, int x, int y, int w, int h) {
    return place(new WholeAreaButton<QRadioButton>(uiText(text), &dialog_), x, y, w, h);
}

QGroupBox* DialogBuilder::group(std::string_view title, int x, int y, int w, int h) {
    auto* g = place(new QGroupBox(uiText(title), &dialog_), x, y, w, h);
    g->lower();
    return g;
}

QComboBox* DialogBuilder::dropDown(int x, int y, int w) {
    return place(new QComboBox(&dialog_), x, y, w, kDropDownHeight);
}

QLineEdit* DialogBuilder::edit(int x, int y, int w, int h) {
    return place(new QLineEdit(&dialog_), x, y, w, h);
}

QPlainTextEdit* DialogBuilder::textView(int x, int y, int w, int h) {
    auto* t = place(new QPlainTextEdit(&dialog_), x, y, w, h);
    t->setReadOnly(true);
    t->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    return t;
}

QListWidget* DialogBuilder::list(int x, int y, int w, int h) {
    return place(new QListWidget(&dialog_), x, y, w, h);
}

void DialogBuilder::finish() {
    fitTexts(&dialog_);
}

}  // namespace wp2
