#pragma once
class QApplication;

// The application's title, shown wherever the program names itself.
inline constexpr const char *ApplicationTitle = "Tessaly";
inline constexpr const char *ApplicationVersion = "2.55";
// The name of its desktop entry and icon.
inline constexpr const char *ApplicationId = "org.tessaly.Tessaly";

// Sets up the application object before the main window is created.
void InitApplication(QApplication &app);
