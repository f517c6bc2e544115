// What a device type does to the main window's controls when tracking starts.
#pragma once

namespace kelvora::ui {

enum class Enabling : char {
    Keep,           // left as it is
    On,             // enabled
    Off,            // disabled
    FollowsManual,  // enabled while the manual-direction box is ticked
    FollowsRefresh, // enabled when the position is polled (Refresh Rotors is not "None")
};

enum class Showing : char { Keep, Shown, Hidden };

// One field per control a rotor type sets, named as the control.
struct RotorControls {
    Enabling Command2 = Enabling::Off, Command3 = Enabling::Off, Command4 = Enabling::Off,
             Host = Enabling::Off, Normal = Enabling::Off, Posizione = Enabling::Off,
             Command1 = Enabling::Off, Command6 = Enabling::On, Rotorman = Enabling::On,
             Command7 = Enabling::Off, Command8 = Enabling::Off, auto_ = Enabling::Keep,
             Autoupdate = Enabling::Keep, Label7 = Enabling::On, Command5 = Enabling::FollowsManual,
             LabelAZ = Enabling::FollowsRefresh, LabelEL = Enabling::FollowsRefresh;
    Showing Text1 = Showing::Shown, Text2 = Showing::Shown;
};

// The controls a radio model sets after the rotor type has set them.
struct RadioControls {
    Enabling Command2 = Enabling::Off, Command3 = Enabling::Off, Command4 = Enabling::Off,
             Host = Enabling::Off, Normal = Enabling::Off, Posizione = Enabling::Off,
             Command1 = Enabling::On;
    bool powerButtons = false;             // ON_Icom and ON_Icom1 shown and enabled
    const char* command2Caption = nullptr; // a caption of its own for Command2
};

} // namespace kelvora::ui
