// The program's entry. The backend's entry point sets up the system and calls
// it; the program defines it.
#pragma once

namespace q {

// Runs the program: start-up, then the message loop; returns when that ends
// (in the sim, also after the process was asked to end).
void program_main();

}  // namespace q
