#pragma once

namespace softswitch {

// Thrown when the program ends (EXIT, or a write that cut the link): it
// unwinds every handler still running, nested ones included, up to the front
// end, which then stops processing events.
struct ProgramEnded {};

} // namespace softswitch
