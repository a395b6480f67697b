#include "frontend-stand-in.hpp"

#include <obs-frontend-api.h>

#include <QDockWidget>
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

void reset()
{
	frontEnd() = FrontEnd{};
	for (QDockWidget *d : mainWindow()->findChildren<QDockWidget *>())
		delete d;
}

} // namespace standin

// Like OBS: the dock is named after its id and starts hidden and floating; the
// saved layout, or the module, decides the rest.
bool obs_frontend_add_dock_by_id(const char *id, const char *title, void *widget)
{
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
	standin::frontEnd().docksRemoved.emplace_back(id);
	delete standin::dock(id);
}

void *obs_frontend_get_main_window(void)
{
	return standin::mainWindow();
}
