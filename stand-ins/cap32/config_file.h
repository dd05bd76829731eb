// Finding and reading the capture library's configuration file.
#pragma once
#include <string>

namespace cap32 {

// Name of the environment variable that may give the configuration's full path.
constexpr char kConfigVariable[] = "CAP32_CONFIG";
// File looked for in the library's own folder when the variable is not set.
constexpr char kConfigFileName[] = "Cap32.ini";

// Reads the configuration named by CAP32_CONFIG, or else Cap32.ini beside this
// library. false when there is no such file (the variable, when set, wins even
// if its file is missing: a test can then rely on "no configuration").
bool ReadConfigFile(std::string& text, std::string& path);

}  // namespace cap32
