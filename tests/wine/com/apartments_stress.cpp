// Many apartments of one process at once: 8 threads, started before any object exists, each its
// own single-threaded apartment, create objects by ProgID at the same moment and log N times to
// syslog and to the event log; a caller in the multithreaded apartment logs through a marshalled
// object of another apartment; CoFreeUnusedLibraries runs under load in every apartment.
// Proves: one class object and one type information for all, every datagram arrives with its
// exact bytes, the library never says it can be unloaded while an object, a lock or a class
// object a caller holds is in use, and handles and private bytes do not grow. Prints its figures;
// exit code 0 only when everything holds.
#include <winsock2.h>
#include <windows.h>
#include <oleauto.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <latch>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "Pendrake_h.h"
#include "com_test_support.h"
#include "loopback_receiver.h"
#include "pendrake/owners.h"
#include "process_figures.h"

namespace {

using pendrake::comtest::DllPath;
using pendrake::comtest::HexHresult;

constexpr int kThreads = 8;
constexpr int kMtaCalls = 200;
constexpr int kFreeUnusedEvery = 100;
constexpr DWORD kHandleSlack = 16;
constexpr SIZE_T kMemorySlack = 4 * 1024 * 1024;
constexpr int kPriority = 5;
constexpr int kFacility = 16;

using pendrake::owners::ComPtr;
using pendrake::owners::MakeBstr;
using pendrake::owners::UniqueBstr;

std::atomic<int> g_failures{0};
std::mutex g_printLock;

void Fail(const std::string& what) {
  g_failures.fetch_add(1);
  const std::lock_guard<std::mutex> lock(g_printLock);
  std::printf("FAILED: %s\n", what.c_str());
}

// Reads the shared receiver on its own thread, with a large buffer, so no datagram is dropped
// for the receiver's sake while 9 senders are busy.
class DrainingReceiver {
 public:
  DrainingReceiver() {
    receiver_.SetBufferSize(16 * 1024 * 1024);
    if (receiver_.ok()) thread_ = std::thread([this] { Run(); });
  }
  ~DrainingReceiver() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }
  std::uint16_t port() const { return receiver_.ok() ? receiver_.port() : 0; }
  int bufferSize() const { return receiver_.BufferSize(); }
  // What the host's kernel dropped at this socket for want of room: a loss that is the
  // receiver's, not the sender's. -1 when the host does not say (read through Wine's Z: drive).
  long KernelDrops() const {
    FILE* table = std::fopen("Z:\\proc\\net\\udp", "r");
    if (!table) return -1;
    char line[512];
    long drops = -1;
    char local[32];
    std::snprintf(local, sizeof local, "0100007F:%04X", port());
    while (std::fgets(line, sizeof line, table)) {
      if (!std::strstr(line, local)) continue;
      const char* last = std::strrchr(line, ' ');
      if (last) drops = std::atol(last + 1);
    }
    std::fclose(table);
    return drops;
  }
  // Waits until `expected` have arrived or nothing more came for three seconds.
  std::vector<std::string> Collect(std::size_t expected) {
    std::unique_lock<std::mutex> lock(mutex_);
    while (received_.size() < expected) {
      const std::size_t before = received_.size();
      if (!arrived_.wait_for(lock, std::chrono::seconds(3), [&] { return received_.size() != before; })) break;
    }
    return received_;
  }

 private:
  void Run() {
    while (!stop_) {
      std::optional<std::string> datagram = receiver_.Receive(50);
      if (!datagram) continue;
      {
        const std::lock_guard<std::mutex> lock(mutex_);
        received_.push_back(std::move(*datagram));
      }
      arrived_.notify_all();
    }
  }

  pendrake::winetest::LoopbackReceiver receiver_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::vector<std::string> received_;
};

using CanUnloadNow = HRESULT(WINAPI*)();

CanUnloadNow CanUnloadNowOfTheComponent() {
  HMODULE module = GetModuleHandleW(DllPath().c_str());
  return module ? reinterpret_cast<CanUnloadNow>(reinterpret_cast<void*>(GetProcAddress(module, "DllCanUnloadNow")))
                : nullptr;
}

std::string Mark(int thread, int call) { return "apartment " + std::to_string(thread) + " call " + std::to_string(call); }

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

// Sets the syslog destination of an object through its table of functions.
HRESULT AimAt(IPendrake* object, std::uint16_t port) {
  const UniqueBstr server = MakeBstr(L"127.0.0.1");
  HRESULT hr = object->put_SyslogServer(server.get());
  if (SUCCEEDED(hr)) hr = object->put_SyslogPort(port);
  if (SUCCEEDED(hr)) hr = object->put_SyslogFacility(static_cast<tagSYSLOGFACILITY>(kFacility));
  if (SUCCEEDED(hr)) hr = object->put_SyslogPriority(static_cast<tagSYSLOGPRIORITY>(kPriority));
  return hr;
}

// LogToSyslog as a script calls it: by name, through IDispatch.
HRESULT LogByName(IDispatch* object, DISPID id, const std::wstring& message) {
  const UniqueBstr text = MakeBstr(message);
  VARIANT argument;
  VariantInit(&argument);
  argument.vt = VT_BSTR;
  argument.bstrVal = text.get();
  DISPPARAMS parameters{&argument, nullptr, 1, 0};
  return object->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &parameters, nullptr, nullptr, nullptr);
}

struct Shared {
  int calls = 2000;
  std::uint16_t port = 0;
  HANDLE go = nullptr;              // set once every thread waits: all create at once
  std::latch ready{kThreads};       // counted down by every thread before it waits for `go`
  std::atomic<int> warmedUp{0};     // threads past their first calls
  HANDLE measured = nullptr;        // set once the start figures are taken
  std::atomic<long> syslogCalls{0};
  std::atomic<long> eventLogCalls{0};
  std::atomic<long> objectsInUse{0};
  IClassFactory* factories[kThreads] = {};
  ITypeInfo* typeInfos[kThreads] = {};
};

void Apartment(Shared& shared, int index) {
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
    Fail("apartment " + std::to_string(index) + ": CoInitializeEx");
    shared.ready.count_down();
    shared.warmedUp++;
    return;
  }
  {
    shared.ready.count_down();
    WaitForSingleObject(shared.go, INFINITE);
    CLSID clsid{};
    HRESULT hr = CLSIDFromProgID(L"Orvelle.Pendrake", &clsid);
    ComPtr<IDispatch> object;
    if (SUCCEEDED(hr)) {
      hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, reinterpret_cast<void**>(object.put()));
    }
    ComPtr<IPendrake> early;
    if (object) object->QueryInterface(IID_IPendrake, reinterpret_cast<void**>(early.put()));
    ComPtr<IClassFactory> factory;
    CoGetClassObject(clsid, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory, reinterpret_cast<void**>(factory.put()));
    ComPtr<ITypeInfo> info;
    if (object) object->GetTypeInfo(0, 0, info.put());
    shared.factories[index] = factory.get();
    shared.typeInfos[index] = info.get();
    if (!object || !early || !factory || !info) {
      Fail("apartment " + std::to_string(index) + ": creation by ProgID " + HexHresult(hr));
      shared.warmedUp++;
    } else {
      shared.objectsInUse++;
      DISPID logToSyslog = 0;
      LPOLESTR name = const_cast<LPOLESTR>(L"LogToSyslog");
      hr = AimAt(early.get(), shared.port);
      if (SUCCEEDED(hr)) hr = object->GetIDsOfNames(IID_NULL, &name, 1, 0, &logToSyslog);
      if (FAILED(hr)) Fail("apartment " + std::to_string(index) + ": settings " + HexHresult(hr));
      const UniqueBstr entry = MakeBstr(L"apartment event entry");
      const int warm = std::min(200, shared.calls);
      for (int call = 0; call < shared.calls && SUCCEEDED(hr); ++call) {
        if (call == warm) {
          shared.warmedUp++;
          WaitForSingleObject(shared.measured, INFINITE);
        }
        hr = LogByName(object.get(), logToSyslog, Wide(Mark(index, call)));
        if (FAILED(hr)) Fail("apartment " + std::to_string(index) + ": LogToSyslog " + HexHresult(hr));
        shared.syslogCalls++;
        if (SUCCEEDED(hr)) hr = early->LogToEventLog(entry.get());
        if (FAILED(hr)) Fail("apartment " + std::to_string(index) + ": LogToEventLog " + HexHresult(hr));
        shared.eventLogCalls++;
        // The objects and the class object held here must keep the library in.
        if (call % kFreeUnusedEvery == 0) CoFreeUnusedLibraries();
      }
      if (shared.calls <= warm) shared.warmedUp++;
      shared.objectsInUse--;
    }
  }
  CoUninitialize();
}

// The caller in the multithreaded apartment: gets the object of the main apartment through
// standard marshalling and logs through the proxy, a first round while the apartments warm up
// and the rest once the start figures are taken.
struct MtaCaller {
  IStream* marshalled = nullptr;
  IUnknown* original = nullptr;  // the object's own identity, to tell a proxy from it
  std::atomic<bool> warm{false};
  std::atomic<bool> done{false};
  long calls = 0;
};

void MultithreadedCaller(MtaCaller& caller, Shared& shared) {
  if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) {
    Fail("MTA: CoInitializeEx");
    caller.warm = caller.done = true;
    return;
  }
  {
    ComPtr<IDispatch> proxy;
    const HRESULT hr = CoGetInterfaceAndReleaseStream(caller.marshalled, IID_IDispatch, reinterpret_cast<void**>(proxy.put()));
    if (FAILED(hr) || !proxy) {
      Fail("MTA: unmarshalling " + HexHresult(hr));
      caller.warm = true;
    } else {
      ComPtr<IUnknown> identity;
      proxy->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(identity.put()));
      if (identity.get() == caller.original) Fail("MTA: got the object itself, not a proxy");
      // As a script in the MTA would: by name, so the call crosses in IDispatch's own proxy.
      DISPID logToSyslog = 0;
      LPOLESTR name = const_cast<LPOLESTR>(L"LogToSyslog");
      HRESULT call = proxy->GetIDsOfNames(IID_NULL, &name, 1, 0, &logToSyslog);
      for (int i = 0; i < kMtaCalls && SUCCEEDED(call); ++i) {
        if (i == kMtaCalls / 4) {
          caller.warm = true;
          WaitForSingleObject(shared.measured, INFINITE);
        }
        call = LogByName(proxy.get(), logToSyslog, Wide(Mark(99, i)));
        ++caller.calls;
      }
      if (FAILED(call)) Fail("MTA: call through the proxy " + HexHresult(call));
      caller.warm = true;
    }
  }
  CoUninitialize();
  caller.done = true;
}

// Waits for `done` while serving the calls that come into this apartment.
void PumpUntil(const std::function<bool()>& done) {
  while (!done()) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  }
}

// DllCanUnloadNow in each state that must keep the library loaded, and after the last of them.
void CheckUnloadAnswers(CanUnloadNow canUnloadNow, std::uint16_t port) {
  ComPtr<IClassFactory> factory;
  HRESULT hr = CoGetClassObject(CLSID_Pendrake, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                                reinterpret_cast<void**>(factory.put()));
  if (FAILED(hr)) return Fail("CoGetClassObject " + HexHresult(hr));
  if (canUnloadNow() != S_FALSE) Fail("DllCanUnloadNow says S_OK while a caller holds the class object");
  CoFreeUnusedLibraries();
  ComPtr<IPendrake> object;
  hr = factory->CreateInstance(nullptr, IID_IPendrake, reinterpret_cast<void**>(object.put()));
  if (FAILED(hr)) return Fail("CreateInstance after CoFreeUnusedLibraries " + HexHresult(hr));
  AimAt(object.get(), port);
  const UniqueBstr message = MakeBstr(Wide(Mark(98, 0)));
  object->LogToSyslog(message.get());
  object.reset();
  factory->LockServer(TRUE);
  factory.reset();
  if (canUnloadNow() != S_FALSE) Fail("DllCanUnloadNow says S_OK while the server is locked");
  hr = CoGetClassObject(CLSID_Pendrake, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                        reinterpret_cast<void**>(factory.put()));
  if (FAILED(hr)) return Fail("CoGetClassObject again " + HexHresult(hr));
  factory->LockServer(FALSE);
  factory.reset();
  if (canUnloadNow() != S_OK) Fail("DllCanUnloadNow says S_FALSE with nothing in use");
}

}  // namespace

int main(int argc, char** argv) {
  if (!pendrake::comtest::TakeDllPathArgument(argc, argv, " [calls-per-thread]")) return 2;
  Shared shared;
  if (argc > 2 && std::atoi(argv[2]) > 0) shared.calls = std::atoi(argv[2]);
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 3;
  int status = 0;
  {
    pendrake::comtest::RegistrationScope registration;
    DrainingReceiver receiver;
    const CanUnloadNow canUnloadNow = CanUnloadNowOfTheComponent();
    if (registration.result() != S_OK || receiver.port() == 0 || !canUnloadNow) {
      std::printf("setup failed: registration %s, receiver port %u\n", HexHresult(registration.result()).c_str(),
                  receiver.port());
      CoUninitialize();
      return 1;
    }
    shared.port = receiver.port();
    shared.go = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    shared.measured = CreateEventW(nullptr, TRUE, FALSE, nullptr);

    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i) threads.emplace_back(Apartment, std::ref(shared), i);
    shared.ready.wait();
    const DWORD started = GetTickCount();
    SetEvent(shared.go);

    // While the apartments work: nothing may say the library can go.
    std::atomic<bool> watching{true};
    std::atomic<long> unloadQuestions{0}, wrongAnswers{0};
    std::thread watcher([&] {
      while (watching) {
        const long inUse = shared.objectsInUse.load();
        const HRESULT answer = canUnloadNow();
        if (inUse > 0 && answer == S_OK) wrongAnswers++;
        unloadQuestions++;
        Sleep(1);
      }
    });

    // The main apartment's object, made while the apartments make theirs, reached from the
    // multithreaded apartment.
    MtaCaller caller;
    std::thread mta;
    ComPtr<IPendrake> mainObject;
    HRESULT hr = CoCreateInstance(CLSID_Pendrake, nullptr, CLSCTX_INPROC_SERVER, IID_IPendrake,
                                  reinterpret_cast<void**>(mainObject.put()));
    if (SUCCEEDED(hr)) hr = AimAt(mainObject.get(), shared.port);
    if (SUCCEEDED(hr)) hr = CoMarshalInterThreadInterfaceInStream(IID_IDispatch, mainObject.get(), &caller.marshalled);
    if (FAILED(hr)) {
      Fail("marshalling to the MTA " + HexHresult(hr));
      caller.warm = caller.done = true;
    } else {
      mainObject->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&caller.original));
      caller.original->Release();  // only compared, the object stays held here
      mta = std::thread(MultithreadedCaller, std::ref(caller), std::ref(shared));
    }

    PumpUntil([&] { return shared.warmedUp.load() >= kThreads && caller.warm.load(); });
    const DWORD handlesAtStart = pendrake::winetest::ProcessHandles();
    const SIZE_T memoryAtStart = pendrake::winetest::ProcessPrivateBytes();
    SetEvent(shared.measured);
    PumpUntil([&] { return caller.done.load(); });
    if (mta.joinable()) mta.join();
    const long mtaCalls = caller.calls;
    for (std::thread& thread : threads) thread.join();
    mainObject.reset();
    const DWORD handlesAtEnd = pendrake::winetest::ProcessHandles();
    const SIZE_T memoryAtEnd = pendrake::winetest::ProcessPrivateBytes();
    watching = false;
    watcher.join();
    const DWORD elapsed = GetTickCount() - started;

    CheckUnloadAnswers(canUnloadNow, shared.port);

    // One class object and one type information for every apartment.
    for (int i = 1; i < kThreads; ++i) {
      if (shared.factories[i] != shared.factories[0]) Fail("apartment " + std::to_string(i) + " got another class object");
      if (shared.typeInfos[i] != shared.typeInfos[0]) Fail("apartment " + std::to_string(i) + " got another type information");
    }

    // Every datagram once, with its exact bytes; nothing else.
    const std::string pri = "<" + std::to_string(kFacility * 8 + kPriority) + ">";
    std::map<std::string, int> expected;
    for (int t = 0; t < kThreads; ++t) {
      for (int c = 0; c < shared.calls; ++c) expected[pri + Mark(t, c)] = 0;
    }
    for (int c = 0; c < mtaCalls; ++c) expected[pri + Mark(99, c)] = 0;
    expected[pri + Mark(98, 0)] = 0;
    const std::vector<std::string> received = receiver.Collect(expected.size());
    std::size_t unexpected = 0, duplicates = 0, missing = 0;
    for (const std::string& datagram : received) {
      auto found = expected.find(datagram);
      if (found == expected.end()) {
        if (unexpected++ < 5) Fail("unexpected datagram \"" + datagram.substr(0, 60) + "\"");
      } else if (found->second++ > 0) {
        duplicates++;
      }
    }
    std::map<int, int> missingByThread;
    for (const auto& [datagram, times] : expected) {
      if (times == 0) {
        missing++;
        const std::size_t at = datagram.find("apartment ");
        missingByThread[std::atoi(datagram.c_str() + at + 10)]++;
      }
    }
    if (missing) {
      std::string which;
      for (const auto& [thread, count] : missingByThread) which += " apartment " + std::to_string(thread) + ": " + std::to_string(count);
      Fail(std::to_string(missing) + " datagrams missing:" + which);
    }
    if (duplicates) Fail(std::to_string(duplicates) + " datagrams arrived twice");
    if (wrongAnswers) Fail("DllCanUnloadNow said S_OK " + std::to_string(wrongAnswers.load()) + " times while objects were in use");

    const bool handlesOk = handlesAtEnd <= handlesAtStart + kHandleSlack;
    const bool memoryOk = memoryAtEnd <= memoryAtStart + kMemorySlack;
    if (!handlesOk) Fail("handles grew");
    if (!memoryOk) Fail("private bytes grew");
    std::printf("%d apartments x %d calls in %lu ms: %ld LogToSyslog, %ld LogToEventLog, %ld from the MTA\n", kThreads,
                shared.calls, static_cast<unsigned long>(elapsed), shared.syslogCalls.load(), shared.eventLogCalls.load(),
                mtaCalls);
    std::printf("datagrams: %zu sent, %zu received, %zu missing, %zu duplicated, %zu unexpected\n", expected.size(),
                received.size(), missing, duplicates, unexpected);
    std::printf("receiver: buffer %d bytes, %ld dropped by the host for want of room\n", receiver.bufferSize(),
                receiver.KernelDrops());
    std::printf("class objects: %s; type information: %s\n",
                std::all_of(shared.factories, shared.factories + kThreads, [&](IClassFactory* f) { return f && f == shared.factories[0]; }) ? "one" : "several",
                std::all_of(shared.typeInfos, shared.typeInfos + kThreads, [&](ITypeInfo* i) { return i && i == shared.typeInfos[0]; }) ? "one" : "several");
    std::printf("DllCanUnloadNow asked %ld times under load, S_OK while in use %ld times\n", unloadQuestions.load(),
                wrongAnswers.load());
    std::printf("handles: %lu at start, %lu at end (slack %lu): %s\n", static_cast<unsigned long>(handlesAtStart),
                static_cast<unsigned long>(handlesAtEnd), static_cast<unsigned long>(kHandleSlack), handlesOk ? "ok" : "GROWING");
    std::printf("private bytes: %llu at start, %llu at end (slack %llu): %s\n",
                static_cast<unsigned long long>(memoryAtStart), static_cast<unsigned long long>(memoryAtEnd),
                static_cast<unsigned long long>(kMemorySlack), memoryOk ? "ok" : "GROWING");
    CloseHandle(shared.go);
    CloseHandle(shared.measured);
    status = g_failures.load() == 0 ? 0 : 1;
  }
  CoUninitialize();
  std::printf("%s\n", status == 0 ? "all held" : "FAILED");
  return status;
}
