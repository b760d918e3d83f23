#include "user_message.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace {

MessageSink& Sink()
{
    static MessageSink sink;
    return sink;
}

} // namespace

int UserMessage(const QString& text, MessageButtons buttons)
{
    if (Sink())
        return Sink()(text, buttons);
    const bool asks = buttons != MessageButtons::Ok;
    QMessageBox box(asks ? QMessageBox::Question : QMessageBox::Warning, QStringLiteral("Ondula4"),
                    text, QMessageBox::NoButton, QApplication::activeWindow());
    // The buttons speak French whether or not the toolkit's translation is installed.
    if (!asks) {
        box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        box.exec();
        return AnswerOk;
    }
    QAbstractButton* yes = box.addButton(QStringLiteral("Oui"), QMessageBox::YesRole);
    QAbstractButton* no = box.addButton(QStringLiteral("Non"), QMessageBox::NoRole);
    if (buttons == MessageButtons::YesNoCancel)
        box.setEscapeButton(box.addButton(QStringLiteral("Annuler"), QMessageBox::RejectRole));
    else
        box.setEscapeButton(no);
    box.exec();
    if (box.clickedButton() == yes)
        return AnswerYes;
    if (box.clickedButton() == no)
        return AnswerNo;
    return AnswerCancel;
}

void SetMessageSink(MessageSink sink) { Sink() = std::move(sink); }

void RefuseOtherPixelTypes()
{
    UserMessage(
        QString::fromUtf8("Traitement réservé aux images 8 bits (niveaux de gris ou couleurs) !"));
}
