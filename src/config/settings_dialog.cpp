// Loading of the settings dialog.
#include "config/settings_dialog.h"

namespace kelvora::config {

Settings& SettingsDialog::fields() {
    if (!m_record) {
        Form_Load();
    }
    return *m_record;
}

void SettingsDialog::Form_Load() {
    m_record.emplace(); // the initial texts of the dialog's controls
    Load_Config_file(*m_record, m_iniPath);
}

} // namespace kelvora::config
