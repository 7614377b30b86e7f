#include "ui/desktop/idle_inhibitor.h"

#include <QDBusConnectionInterface>
#include <QGuiApplication>

namespace vidora {

namespace {

// A service that runs now or that the bus can start on demand.
bool ServicePresent(QDBusConnection& bus, const QString& name) {
  QDBusConnectionInterface* daemon = bus.interface();
  if (daemon == nullptr) return false;
  if (daemon->isServiceRegistered(name).value()) return true;
  return daemon->activatableServiceNames().value().contains(name);
}

class FallbackInhibitor : public IdleInhibitor {
 public:
  explicit FallbackInhibitor(std::vector<std::unique_ptr<IdleInhibitor>> ways) : ways_(std::move(ways)) {
    for (size_t i = 0; i < ways_.size(); ++i) {
      ways_[i]->set_failure_handler([this, i] { OnFailure(i); });
    }
  }
  ~FallbackInhibitor() override { Release(); }

  void Inhibit(const QString& reason) override {
    if (wanted_) return;
    wanted_ = true;
    reason_ = reason;
    // Those that failed before are tried again, from the best one.
    used_ = 0;
    if (!ways_.empty()) ways_[0]->Inhibit(reason_);
  }

  void Release() override {
    wanted_ = false;
    for (size_t i = 0; i <= used_ && i < ways_.size(); ++i) ways_[i]->Release();
  }

  bool inhibiting() const override { return wanted_; }
  QString mechanism() const override { return used_ < ways_.size() ? ways_[used_]->mechanism() : QString(); }

 private:
  void OnFailure(size_t failed) {
    // Only the last way used hands over; an earlier one that fails again
    // after it recovered has a successor at work already.
    if (!wanted_ || failed != used_ || used_ + 1 >= ways_.size()) return;
    ++used_;
    ways_[used_]->Inhibit(reason_);
  }

  std::vector<std::unique_ptr<IdleInhibitor>> ways_;
  QString reason_;
  size_t used_ = 0;
  bool wanted_ = false;
};

}  // namespace

std::unique_ptr<IdleInhibitor> CreateFallbackInhibitor(std::vector<std::unique_ptr<IdleInhibitor>> ways) {
  return std::make_unique<FallbackInhibitor>(std::move(ways));
}

std::unique_ptr<IdleInhibitor> CreateIdleInhibitor(QDBusConnection session_bus) {
  std::vector<std::unique_ptr<IdleInhibitor>> ways;
  if (session_bus.isConnected()) {
    if (ServicePresent(session_bus, QStringLiteral("org.freedesktop.ScreenSaver"))) {
      ways.push_back(CreateScreenSaverInhibitor(session_bus));
    }
    if (ServicePresent(session_bus, QStringLiteral("org.freedesktop.portal.Desktop"))) {
      ways.push_back(CreatePortalInhibitor(session_bus));
    }
  }
  if (QGuiApplication::platformName() == QLatin1String("xcb")) ways.push_back(CreateXScreenSaverInhibitor(QString()));
  if (ways.empty()) return nullptr;
  if (ways.size() == 1) return std::move(ways.front());
  return CreateFallbackInhibitor(std::move(ways));
}

}  // namespace vidora
