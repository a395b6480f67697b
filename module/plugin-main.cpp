#include "plugin-main.hpp"

#include "dock/frontend-subscription.hpp"
#include "dock/tovrin.hpp"

#include <obs-frontend-api.h>
#include <obs-module.h>

#include <QAction>
#include <QDockWidget>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>

OBS_DECLARE_MODULE()
OBS_MODULE_USE_DEFAULT_LOCALE("tovrin", "en-US")

namespace {

// OBS restores its saved layout after post-load; two seconds later it has.
constexpr int kEnsureVisibleDelayMs = 2000;

// Set once the front end owns the panel; becomes null when it deletes it.
QPointer<Tovrin> dockPanel;

// Watches for the front end's exit, after which it has dropped its callbacks,
// deletes the docks itself and reports any call as an error.
FrontendSubscription exitWatch;
bool frontendGone = false;

void onFrontendEvent(enum obs_frontend_event event, void *)
{
	if (event != OBS_FRONTEND_EVENT_EXIT)
		return;
	frontendGone = true;
	exitWatch.remove();
}

} // namespace

MODULE_EXPORT const char *obs_module_author(void)
{
	return "tovrin";
}

bool obs_module_load(void)
{
	blog(LOG_INFO, "[tovrin] loaded");
	return true;
}

void obs_module_post_load(void)
{
	frontendGone = false;
	exitWatch.add(onFrontendEvent, nullptr);
	auto *panel = new Tovrin(nullptr);
	const char *title = obs_module_text("Dock.Title");
	if (!obs_frontend_add_dock_by_id(kDockId, title, panel)) {
		blog(LOG_WARNING, "[tovrin] failed to add dock");
		delete panel;
		return;
	}
	dockPanel = panel;
	QTimer::singleShot(kEnsureVisibleDelayMs, ensureDockVisible);
}

void obs_module_unload(void)
{
	if (dockPanel) {
		dockPanel->shutdown();
		dockPanel = nullptr;
	}
	if (!frontendGone) {
		exitWatch.remove();
		obs_frontend_remove_dock(kDockId);
	}
	blog(LOG_INFO, "[tovrin] unloaded");
}

void ensureDockVisible()
{
	auto *main = static_cast<QMainWindow *>(obs_frontend_get_main_window());
	if (!main)
		return;
	auto *dock = main->findChild<QDockWidget *>(kDockId);
	if (!dock)
		return;
	QAction *toggle = dock->toggleViewAction();
	if (toggle && !toggle->isChecked())
		toggle->activate(QAction::Trigger);
	dock->setFloating(false);
}
