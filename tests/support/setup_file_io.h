// Loads and saves for tests that only need to know whether it worked: 1 or 0, like the exports.
#pragma once

#include <string>

#include "model/setup_document.h"
#include "setupfile/setup_file.h"

inline int LoadFile(korvane::model::SetupDocument& setup, const std::string& path) {
    return korvane::setupfile::LoadSetupFile(path, setup) ? 1 : 0;
}

inline int SaveFile(const korvane::model::SetupDocument& setup, const std::string& path) {
    return korvane::setupfile::SaveSetupFile(setup, path) ? 1 : 0;
}
