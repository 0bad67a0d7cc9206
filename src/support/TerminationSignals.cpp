// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/TerminationSignals.h"

#include "support/Logger.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace orva {

namespace {

constexpr int kSignals[] = { SIGTERM, SIGHUP, SIGINT };
int s_sockets[2] = { -1, -1 }; // [0] written by the handler, [1] read on the UI thread

void handleSignal(int number)
{
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(number);
    // Nothing but async-signal-safe calls here; a full socket just drops the repeat.
    [[maybe_unused]] const ssize_t written = ::write(s_sockets[0], &byte, 1);
    errno = saved;
}

} // namespace

TerminationSignals::TerminationSignals(std::function<void(int)> onSignal, QObject *parent)
    : QObject(parent)
    , m_onSignal(std::move(onSignal))
{
    if (s_sockets[0] >= 0
        || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, s_sockets) != 0) {
        logMessage(1, "   TerminationSignals: not installed\n");
        return;
    }
    m_notifier = new QSocketNotifier(s_sockets[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::readSignal);
    struct sigaction action = {};
    action.sa_handler = handleSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : kSignals)
        ::sigaction(number, &action, nullptr);
}

TerminationSignals::~TerminationSignals()
{
    if (!m_notifier)
        return;
    for (int number : kSignals)
        ::signal(number, SIG_DFL);
    ::close(s_sockets[0]);
    ::close(s_sockets[1]);
    s_sockets[0] = s_sockets[1] = -1;
}

void TerminationSignals::readSignal()
{
    unsigned char byte = 0;
    int number = 0;
    while (::read(s_sockets[1], &byte, 1) == 1)
        number = byte;
    if (number == 0 || m_delivered)
        return;
    m_delivered = true;
    logMessage(1, "   TerminationSignals: signal %d; the program ends\n", number);
    if (m_onSignal)
        m_onSignal(number);
}

} // namespace orva
