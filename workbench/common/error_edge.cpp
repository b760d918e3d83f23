#include "error_edge.h"

#include <new>

#include <verodyn/status.h>

#include "user_message.h"

QString LibraryFailureText(Vstatus status, const std::string& detail)
{
    switch (status) {
    case VERR_IMAGE_TOO_LARGE:
        return QString::fromUtf8("Image trop grande : au plus 32767 pixels par côté !");
    case VERR_NO_MEMORY:
        return QString::fromUtf8("Mémoire insuffisante !");
    default:
        return QString::fromUtf8("Erreur de la bibliothèque d'images n°%1 !\n%2")
            .arg(status)
            .arg(QString::fromStdString(detail));
    }
}

QString ErrorEdgeText(const std::exception& error)
{
    if (const auto* library = dynamic_cast<const VException*>(&error))
        return LibraryFailureText(library->err(), library->what());
    if (dynamic_cast<const std::bad_alloc*>(&error))
        return QString::fromUtf8("Mémoire insuffisante !");
    return QString::fromUtf8("Erreur inattendue !\n") + QString::fromStdString(error.what());
}

QString CatchAtErrorEdge(const std::function<void()>& action)
{
    try {
        action();
    } catch (const std::exception& error) {
        return ErrorEdgeText(error);
    }
    return {};
}

bool RunAtErrorEdge(const std::function<void()>& action)
{
    // The message is shown once the exception is over: its box runs an event loop.
    const QString failure = CatchAtErrorEdge(action);
    if (failure.isEmpty())
        return true;
    UserMessage(failure);
    return false;
}
