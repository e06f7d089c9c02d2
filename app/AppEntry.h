#pragma once
// The process entry: fonts, the single-instance test, the toolkit set-up,
// the message registrations, the main window and the loop, then tear-down
// in reverse. Always returns 0.
namespace app {

int RunApplication(int argc, char** argv);

// Registers the custom control classes with the control factory.
void RegisterControlClasses();

// A second copy: tells the running one to come to the front.
void AnnounceToRunningCopy();

}  // namespace app
