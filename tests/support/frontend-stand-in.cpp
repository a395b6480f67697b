#include "frontend-stand-in.hpp"

#include "obs-test-env.hpp"

#include <obs-frontend-api.h>
#include <obs.h>

#include <QCoreApplication>
#include <QDir>
#include <QDockWidget>
#include <QFile>

#include <algorithm>
#include <QMainWindow>

namespace standin {

FrontEnd &frontEnd()
{
	static FrontEnd state;
	return state;
}

QMainWindow *mainWindow()
{
	static QMainWindow *window = new QMainWindow;
	return window;
}

QDockWidget *dock(const char *id)
{
	return mainWindow()->findChild<QDockWidget *>(id);
}

std::string profilePath()
{
	static const std::string path =
		QDir::temp()
			.filePath(QStringLiteral("tovrin-profile-%1.ini").arg(QCoreApplication::applicationPid()))
			.toStdString();
	return path;
}

// A file of this process's own, removed again, and closed before libobs counts
// its leaks.
config_t *profileConfig()
{
	static config_t *config = [] {
		config_t *c = config_create(profilePath().c_str());
		testenv::beforeShutdown([c] {
			config_close(c);
			QFile::remove(QString::fromStdString(profilePath()));
		});
		return c;
	}();
	return config;
}

// Newest first, through the live list, as OBS does: a callback may remove
// itself.
void fire(enum obs_frontend_event event)
{
	const auto &callbacks = frontEnd().eventCallbacks;
	for (size_t i = callbacks.size(); i > 0; i--) {
		if (i > callbacks.size())
			continue;
		const auto [callback, param] = callbacks[i - 1];
		callback(event, param);
	}
}

void exitFrontEnd()
{
	fire(OBS_FRONTEND_EVENT_EXIT);
	frontEnd().eventCallbacks.clear();
	frontEnd().gone = true;
	for (QDockWidget *d : mainWindow()->findChildren<QDockWidget *>())
		delete d;
}

namespace {

bool calledAfterExit(const char *function)
{
	if (!frontEnd().gone)
		return false;
	frontEnd().callsAfterExit.emplace_back(function);
	return true;
}

} // namespace

void reset()
{
	frontEnd() = FrontEnd{};
	config_remove_value(profileConfig(), "Tovrin", "SourceUuid");
	config_remove_value(profileConfig(), "Tovrin", "DisplayMode");
	for (QDockWidget *d : mainWindow()->findChildren<QDockWidget *>())
		delete d;
}

} // namespace standin

// Like OBS: the dock is named after its id and starts hidden and floating; the
// saved layout, or the module, decides the rest.
bool obs_frontend_add_dock_by_id(const char *id, const char *title, void *widget)
{
	if (standin::calledAfterExit("obs_frontend_add_dock_by_id"))
		return false;
	standin::FrontEnd &fe = standin::frontEnd();
	if (fe.refuseDocks || standin::dock(id))
		return false;
	auto *dock = new QDockWidget(standin::mainWindow());
	dock->setObjectName(id);
	dock->setWindowTitle(QString::fromUtf8(title));
	dock->setWidget(static_cast<QWidget *>(widget));
	standin::mainWindow()->addDockWidget(Qt::RightDockWidgetArea, dock);
	dock->setFloating(true);
	dock->hide();
	fe.docksAdded++;
	fe.lastDockTitle = QString::fromUtf8(title);
	return true;
}

void obs_frontend_remove_dock(const char *id)
{
	if (standin::calledAfterExit("obs_frontend_remove_dock"))
		return;
	standin::frontEnd().docksRemoved.emplace_back(id);
	delete standin::dock(id);
}

void *obs_frontend_get_main_window(void)
{
	if (standin::calledAfterExit("obs_frontend_get_main_window"))
		return nullptr;
	return standin::mainWindow();
}

config_t *obs_frontend_get_profile_config(void)
{
	if (standin::calledAfterExit("obs_frontend_get_profile_config"))
		return nullptr;
	return standin::frontEnd().noProfile ? nullptr : standin::profileConfig();
}

void obs_frontend_open_source_filters(obs_source_t *source)
{
	if (standin::calledAfterExit("obs_frontend_open_source_filters"))
		return;
	standin::frontEnd().filtersOpened.emplace_back(obs_source_get_name(source));
}

void obs_frontend_open_source_properties(obs_source_t *source)
{
	if (standin::calledAfterExit("obs_frontend_open_source_properties"))
		return;
	standin::frontEnd().propertiesOpened.emplace_back(obs_source_get_name(source));
}

void obs_frontend_add_event_callback(obs_frontend_event_cb callback, void *param)
{
	if (standin::calledAfterExit("obs_frontend_add_event_callback"))
		return;
	standin::frontEnd().eventCallbacks.emplace_back(callback, param);
}

void obs_frontend_remove_event_callback(obs_frontend_event_cb callback, void *param)
{
	if (standin::calledAfterExit("obs_frontend_remove_event_callback"))
		return;
	auto &callbacks = standin::frontEnd().eventCallbacks;
	callbacks.erase(std::remove(callbacks.begin(), callbacks.end(), std::make_pair(callback, param)),
			callbacks.end());
}
