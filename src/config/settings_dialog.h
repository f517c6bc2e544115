// The settings dialog's logic: it owns the settings record, loaded on first use.
#pragma once

#include "config/settings.h"
#include "state/kelv.h"

#include <optional>
#include <string>

namespace kelvora::config {

// Responsibilities:
// - The record exists from the first access to any setting until the dialog is unloaded
//   (its close box); "Close" only hides it, so unsaved edits stay for the rest of the run.
// - Loading fills the record with the dialog's initial texts, then the stored values.
class SettingsDialog final : public SettingsSource {
public:
    explicit SettingsDialog(std::string iniPath) : m_iniPath(std::move(iniPath)) {}

    // The settings record; loads the dialog (Form_Load) when it is not loaded.
    Settings& fields() override;
    bool loaded() const override { return m_record.has_value(); }
    // The window's close box: the record goes, the next access loads it from the file again.
    void unload() override { m_record.reset(); }

    const std::string& iniPath() const { return m_iniPath; }

private:
    void Form_Load();

    std::string m_iniPath;
    std::optional<Settings> m_record;
};

} // namespace kelvora::config
