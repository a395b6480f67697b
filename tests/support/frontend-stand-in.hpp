#pragma once

#include <obs-frontend-api.h>
#include <util/config-file.h>

#include <QString>

#include <string>
#include <vector>

class QDockWidget;
class QMainWindow;

// Stands in for the OBS application's front end, which a test process does not
// have: a main window that hosts docks the way OBS does, a profile
// configuration (a real config_t with a file of its own), and the two source
// dialogs.
namespace standin {

struct FrontEnd {
	bool refuseDocks = false;
	int docksAdded = 0;
	QString lastDockTitle;
	std::vector<std::string> docksRemoved;
	bool noProfile = false; // as before a profile is loaded
	std::vector<std::string> filtersOpened;
	std::vector<std::string> propertiesOpened;
	std::vector<std::pair<obs_frontend_event_cb, void *>> eventCallbacks;
	bool gone = false;                       // after exitFrontEnd
	std::vector<std::string> callsAfterExit; // which OBS reports as errors
};

FrontEnd &frontEnd();
QMainWindow *mainWindow();
QDockWidget *dock(const char *id);
config_t *profileConfig();
std::string profilePath(); // where the profile is saved
// Announces a front-end event to everyone listening, as OBS does.
void fire(enum obs_frontend_event event);
// Exits as OBS does: announces the exit, drops every callback, then deletes
// the docks and the panels in them. Front-end calls after that are recorded,
// not served.
void exitFrontEnd();
// Forgets what was recorded and removes every dock.
void reset();

} // namespace standin
