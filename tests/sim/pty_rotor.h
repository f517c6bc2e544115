// A simulated rotor controller on a pseudo-terminal, served from a thread of its own.
#pragma once

#include "sim/rotor_model.h"

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kelvora::sim {

// Responsibilities:
// - Opens a pseudo-terminal in raw mode; the program opens path() as its rotor port.
// - Serves it with poll() until stop() or destruction: received bytes go to the model, its
//   answers go back on the line.
// - Lets a test wait for commands without sleeping, and pull the plug (hangUp()).
class PtyRotor {
public:
    explicit PtyRotor(RotorProtocol protocol);
    ~PtyRotor();
    PtyRotor(const PtyRotor&) = delete;
    PtyRotor& operator=(const PtyRotor&) = delete;

    bool ok() const { return m_master >= 0; }
    const std::string& path() const { return m_path; }

    void start();
    void stop();
    // Serves on the calling thread until `running` turns false (for the command-line tool).
    void serve(const volatile bool& running);

    // Waits until at least `count` commands arrived; false after `seconds` without them.
    bool waitForCommands(std::size_t count, double seconds);
    std::vector<std::string> commands();
    void setPosition(double az, double el);
    RotorModel snapshot();

    // The device goes away: the line hangs up for the program.
    void hangUp();

private:
    void run();
    bool serveOnce(int timeoutMs);

    RotorModel m_model;
    int m_master = -1;
    int m_slave = -1;
    int m_wake[2] = {-1, -1};
    std::string m_path;
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_stop = false;
};

} // namespace kelvora::sim
