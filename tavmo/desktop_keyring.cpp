#include "tavmo/desktop_keyring.h"

#include <qt6keychain/keychain.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>
#include <memory>

#include "tavmo/system_keyring.h"

namespace qm::tavmo {

namespace {

// Long enough for the user to type the keyring's own password when asked.
constexpr int kAnswerTimeoutMs = 120'000;

// A Secret Service answers on the session's message bus. Without a bus to
// name there is none to ask, and asking anyway would have GLib make folders
// in the home folder while it looks for one.
bool SessionBusKnown() {
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) return true;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFileInfo::exists(runtime + QStringLiteral("/bus"));
}

// Starts `job` and waits for its answer. False when none came in time; the
// job then deletes itself whenever it ends.
bool RunJob(std::unique_ptr<QKeychain::Job>& job, const std::string& account) {
    if (!QCoreApplication::instance() || !SessionBusKnown()) return false;
    job->setAutoDelete(false);
    job->setKey(QString::fromStdString(account));
    QEventLoop loop;
    QTimer timeout;
    timeout.setSingleShot(true);
    QObject::connect(job.get(), &QKeychain::Job::finished, &loop, &QEventLoop::quit);
    QObject::connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
    bool finished = false;
    QObject::connect(job.get(), &QKeychain::Job::finished, [&finished] { finished = true; });
    job->start();
    timeout.start(kAnswerTimeoutMs);
    if (!finished) loop.exec();
    if (!finished) {
        job->disconnect();
        job->setAutoDelete(true);
        job.release();
    }
    return finished;
}

}  // namespace

DesktopKeyring::DesktopKeyring(QString service) : service_(std::move(service)) {}

std::optional<std::string> DesktopKeyring::Read(const std::string& account) {
    auto* read = new QKeychain::ReadPasswordJob(service_);
    std::unique_ptr<QKeychain::Job> job(read);
    if (!RunJob(job, account) || read->error() != QKeychain::NoError) return std::nullopt;
    return read->textData().toStdString();
}

bool DesktopKeyring::Write(const std::string& account, const std::string& password) {
    auto* write = new QKeychain::WritePasswordJob(service_);
    write->setTextData(QString::fromStdString(password));
    std::unique_ptr<QKeychain::Job> job(write);
    return RunJob(job, account) && write->error() == QKeychain::NoError;
}

bool DesktopKeyring::Remove(const std::string& account) {
    std::unique_ptr<QKeychain::Job> job(new QKeychain::DeletePasswordJob(service_));
    if (!RunJob(job, account)) return false;
    // Nothing kept is as good as removed.
    return job->error() == QKeychain::NoError || job->error() == QKeychain::EntryNotFound;
}

std::unique_ptr<PasswordKeyring> SystemKeyring() { return std::make_unique<DesktopKeyring>(); }

}  // namespace qm::tavmo
