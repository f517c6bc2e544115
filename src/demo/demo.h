// The try-it mode: a temporary program folder holding settings for the built-in Moon, with a
// simulated rotor controller and a simulated radio inside the program.
#pragma once

#include "astro/ephemeris.h"
#include "platform/clock.h"
#include "sim/simulated_ports.h"

#include <string>

namespace kelvora {
struct Kelv;
}

namespace kelvora::demo {

// Of a few well-known places, the one where the Moon stands highest at `time`, so that a
// newcomer sees the antenna move whenever the demonstration starts.
std::string demoLocator(const astro::UtcTime& time);

// Responsibilities:
// - Makes a fresh folder under the system's temporary folder and writes Kelvora.ini (built-in
//   Moon, rotor and radio on the simulated lines, position polling, Doppler and automatic update
//   on, started at once, sky view open) and rotor.dat there. Nothing else is read or written.
// - Removes the folder when it goes.
class DemoSession {
public:
    DemoSession(platform::Clock& clock, const astro::UtcTime& now);
    ~DemoSession();
    DemoSession(const DemoSession&) = delete;
    DemoSession& operator=(const DemoSession&) = delete;

    bool ok() const { return !m_folder.empty(); }
    const std::string& error() const { return m_error; }
    const std::string& folder() const { return m_folder; }
    const std::string& locator() const { return m_locator; }

    static constexpr double kRotorDegreesPerSecond = 3;
    sim::SimulatedRotorPort rotor;
    sim::SimulatedCivRadioPort radio;

private:
    std::string m_folder, m_locator, m_error;
};

// After Start: the Doppler window in own-echo mode and a status line saying what runs.
void showDemo(Kelv& k, const std::string& locator);
// The banner the try-it mode keeps above the main window's read-outs.
std::string demoBanner(const std::string& locator);

} // namespace kelvora::demo
