#include "app/MessageDialog.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

MessageBox::Result MessageDialog::Show(const MessageBox::Message &message)
{
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(message.caption);
    box.setText(message.text);
    // In plain sight rather than behind a "details" button: which file a
    // message is about is the first thing a user wants to know.
    box.setInformativeText(message.detail);
    switch (message.icon) {
    case MessageBox::NoIcon: box.setIcon(QMessageBox::NoIcon); break;
    case MessageBox::Information: box.setIcon(QMessageBox::Information); break;
    case MessageBox::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case MessageBox::Question: box.setIcon(QMessageBox::Question); break;
    case MessageBox::Critical: box.setIcon(QMessageBox::Critical); break;
    }
    if (message.buttons == MessageBox::SaveDiscardCancel) {
        box.setStandardButtons(QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Save);
        // Reachable from the keyboard: Alt+S, Alt+D, Escape.
        box.button(QMessageBox::Save)->setText(QCoreApplication::translate("MessageDialog", "&Save"));
        box.button(QMessageBox::Discard)->setText(QCoreApplication::translate("MessageDialog", "&Discard"));
        switch (box.exec()) {
        case QMessageBox::Save: return MessageBox::ResultSave;
        case QMessageBox::Discard: return MessageBox::ResultDiscard;
        default: return MessageBox::ResultCancel;
        }
    }
    if (message.buttons == MessageBox::RecoverDiscardLater) {
        QPushButton *recover = box.addButton(QCoreApplication::translate("MessageDialog", "&Recover"), QMessageBox::AcceptRole);
        QPushButton *discard = box.addButton(QCoreApplication::translate("MessageDialog", "&Discard"), QMessageBox::DestructiveRole);
        QPushButton *later = box.addButton(QCoreApplication::translate("MessageDialog", "&Later"), QMessageBox::RejectRole);
        box.setDefaultButton(recover);
        // Escape or closing the box loses nothing: the copy waits.
        box.setEscapeButton(later);
        box.exec();
        if (box.clickedButton() == recover)
            return MessageBox::ResultRecover;
        if (box.clickedButton() == discard)
            return MessageBox::ResultDiscard;
        return MessageBox::ResultLater;
    }
    if (message.buttons == MessageBox::ReplaceCancel) {
        QPushButton *replace = box.addButton(QCoreApplication::translate("MessageDialog", "&Replace"), QMessageBox::DestructiveRole);
        QPushButton *cancel = box.addButton(QMessageBox::Cancel);
        // Enter or Escape keeps the file: replacing it is a choice made on purpose.
        box.setDefaultButton(cancel);
        box.setEscapeButton(cancel);
        box.exec();
        return box.clickedButton() == replace ? MessageBox::ResultReplace : MessageBox::ResultCancel;
    }
    if (message.buttons == MessageBox::OverwriteSaveAsCancel) {
        QPushButton *overwrite = box.addButton(QCoreApplication::translate("MessageDialog", "&Overwrite"), QMessageBox::DestructiveRole);
        QPushButton *saveAs = box.addButton(QCoreApplication::translate("MessageDialog", "Save &As..."), QMessageBox::AcceptRole);
        QPushButton *cancel = box.addButton(QMessageBox::Cancel);
        // Neither Enter nor Escape writes over the other program's change.
        box.setDefaultButton(saveAs);
        box.setEscapeButton(cancel);
        box.exec();
        if (box.clickedButton() == overwrite)
            return MessageBox::ResultOverwrite;
        if (box.clickedButton() == saveAs)
            return MessageBox::ResultSaveAs;
        return MessageBox::ResultCancel;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return MessageBox::ResultOk;
}

void MessageDialog::Install()
{
    MessageBox::setHandler(&MessageDialog::Show);
}
