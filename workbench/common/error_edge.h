// The one edge between the program's code and Qt's event loop: a command or
// a timer tick that fails with an exception ends there, and the user reads
// why in a French message, instead of the exception ending the program.
#pragma once

#include <exception>
#include <functional>
#include <string>

#include <QString>

#include <verodyn/status.h>

// Why an imaging-library call answered `status`, `detail` being the library's
// own text: "Image trop grande : au plus 32767 pixels par côté !" for an image
// the library refuses by its size, "Mémoire insuffisante !" when memory ran
// out, otherwise "Erreur de la bibliothèque d'images n°<status> !" followed by
// a line break and `detail`.
QString LibraryFailureText(Vstatus status, const std::string& detail);

// The message for an exception that reached the edge:
//   an imaging-library failure (VException): "Erreur de la bibliothèque
//     d'images n°<status> !" followed by a line break and the library's own
//     text ("<operator>: <reason>[: <detail>]");
//   a failed allocation: "Mémoire insuffisante !";
//   any other exception: "Erreur inattendue !" followed by a line break and
//     its text.
QString ErrorEdgeText(const std::exception& error);

// Runs `action` and returns the message for the exception that ended it, or
// an empty string when it returned normally.
QString CatchAtErrorEdge(const std::function<void()>& action);

// Runs `action`; when an exception ends it, its message is shown through
// UserMessage and false is returned.
bool RunAtErrorEdge(const std::function<void()>& action);
