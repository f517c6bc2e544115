#include "hamlib/hamlib_devices.h"

namespace kelvora::hamlib {

void HamlibDevices::tell(const std::string& text) {
    m_k.ui.RotorAZ.caption = text;
}

std::unique_ptr<HamlibLink> HamlibDevices::link(Daemon daemon,
                                                std::unique_ptr<platform::TcpSocket>& socket,
                                                std::string_view address, std::string& error) {
    if (m_k.devices == nullptr) {
        error = "No network connections can be made here";
        return nullptr;
    }
    if (!socket) {
        socket = m_k.devices->makeTcpSocket();
    }
    auto made = std::make_unique<HamlibLink>(daemon, *socket, m_k.clock);
    if (!made->setAddress(address, error)) {
        return nullptr;
    }
    made->onMessage = [this](const std::string& text) { tell(text); };
    return made;
}

bool HamlibDevices::startRig(std::string_view address, std::string& error) {
    m_rig = link(Daemon::Rig, m_rigSocket, address, error);
    splitOn = false;
    splitAtStart.reset();
    return m_rig != nullptr;
}

bool HamlibDevices::startRot(std::string_view address, std::string& error) {
    m_rot = link(Daemon::Rot, m_rotSocket, address, error);
    return m_rot != nullptr;
}

bool HamlibDevices::startServer(const ServerSettings& settings, RotorAccess access,
                                std::string& error) {
    m_server.reset();
    if (!settings.enabled) {
        return true;
    }
    if (m_k.devices == nullptr) {
        error = "No network connections can be made here";
        return false;
    }
    if (!m_transport) {
        m_transport = m_k.devices->makeTcpServer();
    }
    auto server = std::make_unique<RotctldServer>(*m_transport, std::move(access), m_k.clock);
    if (!server->start(settings, error)) {
        return false;
    }
    server->onMessage = [this](const std::string& text) { tell(text); };
    m_server = std::move(server);
    return true;
}

void HamlibDevices::stop() {
    if (m_rig && splitOn && splitAtStart == false) {
        m_rig->sendBeforeStop(splitOffCommand());
    }
    for (HamlibLink* l : {m_rig.get(), m_rot.get()}) {
        if (l != nullptr) {
            l->stop(); // closes its socket
        }
    }
    m_rig.reset();
    m_rot.reset();
    m_server.reset();
    splitOn = false;
    splitAtStart.reset();
}

void HamlibDevices::poll() {
    // A message box opened from inside a poll runs the timers again meanwhile: the poll inside
    // would take the replies the outer one is reading.
    if (m_polling) {
        return;
    }
    m_polling = true;
    for (HamlibLink* l : {m_rig.get(), m_rot.get()}) {
        if (l != nullptr) {
            l->poll();
        }
    }
    if (m_server) {
        m_server->poll();
    }
    m_polling = false;
}

} // namespace kelvora::hamlib
