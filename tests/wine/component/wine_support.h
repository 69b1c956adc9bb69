// Helpers of the component's Wine tests: a loopback receiver, a registry snapshot that puts
// the settings key back as it was, and a backup of the prefix's services file.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pendrake::winetest {

// A UDP socket on 127.0.0.1:port (or [::1]:port for AF_INET6) with its own Winsock start-up
// (independent of the logger's).
class LoopbackReceiver {
 public:
  explicit LoopbackReceiver(std::uint16_t port, int family = AF_INET);
  ~LoopbackReceiver();
  LoopbackReceiver(const LoopbackReceiver&) = delete;
  LoopbackReceiver& operator=(const LoopbackReceiver&) = delete;

  bool ok() const { return socket_ != INVALID_SOCKET; }
  const std::string& error() const { return error_; }
  // The next datagram, or std::nullopt when none arrives within timeoutMs.
  std::optional<std::string> Receive(int timeoutMs = 3000);

 private:
  bool started_ = false;
  SOCKET socket_ = INVALID_SOCKET;
  std::string error_;
};

// Everything under HKLM\Software\Orvelle\Pendrake (64-bit view) as it was at construction,
// put back at destruction; keys the test created are removed again.
class SettingsKeySnapshot {
 public:
  SettingsKeySnapshot();
  ~SettingsKeySnapshot();
  SettingsKeySnapshot(const SettingsKeySnapshot&) = delete;
  SettingsKeySnapshot& operator=(const SettingsKeySnapshot&) = delete;

  // Opens (creating if needed) the key with write access; empties it of values first.
  HKEY OpenEmptied();

 private:
  struct Value {
    std::string name;
    DWORD type;
    std::vector<BYTE> data;
  };
  bool vendorKeyExisted_ = false;
  bool keyExisted_ = false;
  std::vector<Value> values_;
  HKEY key_ = nullptr;
};

void SetNumber(HKEY key, const char* name, DWORD value);
void SetBytes(HKEY key, const char* name, DWORD type, const std::string& bytes);

// The prefix's services file, restored (or removed again) at destruction.
class ServicesFileBackup {
 public:
  ServicesFileBackup();
  ~ServicesFileBackup();
  ServicesFileBackup(const ServicesFileBackup&) = delete;
  ServicesFileBackup& operator=(const ServicesFileBackup&) = delete;

  const std::string& path() const { return path_; }
  bool Write(const std::string& contents) const;
  bool Remove() const;

 private:
  std::string path_;
  std::optional<std::string> original_;
};

std::string Printable(const std::optional<std::string>& bytes);

}  // namespace pendrake::winetest
