#pragma once
class QApplication;

// The application's title, shown wherever the program names itself.
inline constexpr const char *ApplicationTitle = "Tessaly";

// Sets up the application object before the main window is created.
void InitApplication(QApplication &app);
