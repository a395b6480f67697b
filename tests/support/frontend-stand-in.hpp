#pragma once

#include <QString>

#include <string>
#include <vector>

class QDockWidget;
class QMainWindow;

// Stands in for the OBS application's front end, which a test process does not
// have: a main window that hosts docks the way OBS does.
namespace standin {

struct FrontEnd {
	bool refuseDocks = false;
	int docksAdded = 0;
	QString lastDockTitle;
	std::vector<std::string> docksRemoved;
};

FrontEnd &frontEnd();
QMainWindow *mainWindow();
QDockWidget *dock(const char *id);
// Forgets what was recorded and removes every dock.
void reset();

} // namespace standin
