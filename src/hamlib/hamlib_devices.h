// The links to the Hamlib daemons and Kelvora's own rotctld, as long as the main window lives.
#pragma once

#include "hamlib/hamlib_link.h"
#include "hamlib/rotctld_server.h"
#include "state/kelv.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace kelvora::hamlib {

// Responsibilities:
// - Owns the sockets (made through Kelv::devices) and the links; a link exists only between
//   startRig()/startRot() and stop(), so rig() and rot() say whether the type is in use.
// - What a link or the server has to tell goes to the status line (RotorAZ), once.
// - poll() never waits; it is called from the network timer.
class HamlibDevices : public KelvPart {
public:
    explicit HamlibDevices(Kelv& k) : m_k(k) {}

    // Links to the address text ("host:port"); false with the reason when it is not one.
    bool startRig(std::string_view address, std::string& error);
    bool startRot(std::string_view address, std::string& error);
    bool startServer(const ServerSettings& settings, RotorAccess access, std::string& error);
    // Ends the links and the server; leaves the radio's split as it was found.
    void stop();
    void poll();

    HamlibLink* rig() { return m_rig.get(); }
    HamlibLink* rot() { return m_rot.get(); }
    RotctldServer* server() { return m_server.get(); }

    bool splitOn = false; // "S 1 VFOB" was sent and not yet undone
    // The radio's split as the first connection found it (read with `s`); a split turned on here
    // is turned off again by stop() when it was off.
    std::optional<bool> splitAtStart;

private:
    std::unique_ptr<HamlibLink> link(Daemon daemon, std::unique_ptr<platform::TcpSocket>& socket,
                                     std::string_view address, std::string& error);
    void tell(const std::string& text);

    Kelv& m_k;
    std::unique_ptr<platform::TcpSocket> m_rigSocket, m_rotSocket;
    std::unique_ptr<HamlibLink> m_rig, m_rot;
    std::unique_ptr<platform::TcpServer> m_transport;
    std::unique_ptr<RotctldServer> m_server;
    bool m_polling = false;
};

} // namespace kelvora::hamlib
