// The one edge between the program's code and Qt's event loop: a command or
// a timer tick that fails with an exception ends there, and the user reads
// why in a French message, instead of the exception ending the program.
#pragma once

#include <exception>
#include <functional>

#include <QString>

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
