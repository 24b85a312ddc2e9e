// the old message box style numbers turned into a Qt message box's look, and its answer back
#include "app/message_box_style.h"

#include <QList>

#include "app/ui_services.h"

namespace corvane {

namespace {

QList<QMessageBox::StandardButton> ButtonsInOrder(int buttonKind) {
    switch (buttonKind) {
    case MsgBox::OkCancel:
        return {QMessageBox::Ok, QMessageBox::Cancel};
    case MsgBox::AbortRetryIgnore:
        return {QMessageBox::Abort, QMessageBox::Retry, QMessageBox::Ignore};
    case MsgBox::YesNoCancel:
        return {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel};
    case MsgBox::YesNo:
        return {QMessageBox::Yes, QMessageBox::No};
    case MsgBox::RetryCancel:
        return {QMessageBox::Retry, QMessageBox::Cancel};
    default:
        return {QMessageBox::Ok};
    }
}

QMessageBox::Icon IconOf(int iconKind) {
    switch (iconKind) {
    case MsgBox::Critical:
        return QMessageBox::Critical;
    case MsgBox::Question:
        return QMessageBox::Question;
    case MsgBox::Exclamation:
        return QMessageBox::Warning;
    case MsgBox::Information:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

} // namespace

MessageBoxLook LookOfStyle(int style) {
    const auto order = ButtonsInOrder(style & 0x0F);
    MessageBoxLook look;
    for (auto button : order)
        look.buttons |= button;
    look.icon = IconOf(style & 0x70);
    // a default button beyond the last one falls back to the first, as the old box did
    const int wanted = (style & 0x300) >> 8;
    look.defaultButton = order.value(wanted < order.size() ? wanted : 0);
    return look;
}

int AnswerOfButton(QMessageBox::StandardButton button) {
    switch (button) {
    case QMessageBox::Ok:
        return MsgBox::Ok;
    case QMessageBox::Abort:
        return MsgBox::Abort;
    case QMessageBox::Retry:
        return MsgBox::Retry;
    case QMessageBox::Ignore:
        return MsgBox::Ignore;
    case QMessageBox::Yes:
        return MsgBox::Yes;
    case QMessageBox::No:
        return MsgBox::No;
    default:
        return MsgBox::Cancel;
    }
}

} // namespace corvane
