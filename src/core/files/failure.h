#pragma once

#include <QString>

#include <optional>

namespace divograf {

// Why a file, picture or print operation did not do what it was asked: a Russian message for
// the user that names what failed and why. An operation that can fail returns
// `std::optional<Failure>` (empty: done) or a variant of its result and a `Failure`; the window
// shows the message in a message box, the renderer writes it to stderr.
struct Failure
{
    QString message;
};

} // namespace divograf
