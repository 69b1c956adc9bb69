// What late binding costs: N LogToSyslog calls through IDispatch::Invoke against N calls
// through the table of functions, each sending one datagram to a receiver on 127.0.0.1.
// Prints its figures and judges no timing, but fails when a call failed or a datagram did not
// arrive: a call that did no work would otherwise time as the fastest.
#include <windows.h>
#include <oleauto.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>

#include "Pendrake_h.h"
#include "pendrake/owners.h"
#include "com_test_support.h"
#include "loopback_receiver.h"

namespace {

using pendrake::owners::ComPtr;
using pendrake::owners::UniqueBstr;
using Clock = std::chrono::steady_clock;

// Seconds for `calls` calls, or nothing when one failed; `arrived` counts the datagrams received.
std::optional<double> SecondsFor(int calls, const std::function<HRESULT()>& call,
                                 pendrake::winetest::LoopbackReceiver& receiver, int& arrived) {
  const auto start = Clock::now();
  for (int i = 0; i < calls; ++i) {
    if (const HRESULT hr = call(); FAILED(hr)) {
      std::printf("FAIL: call %d returned 0x%08lx\n", i, static_cast<unsigned long>(hr));
      return std::nullopt;
    }
    if (i % 64 == 0) arrived += receiver.Drain();
  }
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  arrived += receiver.Drain();
  return seconds;
}

}  // namespace

int main(int argc, char** argv) {
  if (!pendrake::comtest::TakeDllPathArgument(argc, argv, " [calls]")) return 2;
  const int calls = argc > 2 && std::atoi(argv[2]) >= 10 ? std::atoi(argv[2]) / 10 * 10 : 2000;
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 3;
  int status = 0;
  {
    pendrake::comtest::RegistrationScope registration;
    pendrake::winetest::LoopbackReceiver receiver;
    ComPtr<IPendrake> object;
    if (registration.result() != S_OK || !receiver.ok() ||
        FAILED(CoCreateInstance(CLSID_Pendrake, nullptr, CLSCTX_INPROC_SERVER, IID_IPendrake,
                                reinterpret_cast<void**>(object.put())))) {
      std::printf("setup failed\n");
      status = 1;
    } else {
      UniqueBstr server(SysAllocString(L"127.0.0.1"));
      object->put_SyslogServer(server.get());
      object->put_SyslogPort(receiver.port());
      UniqueBstr message(SysAllocString(L"benchmark"));

      LPOLESTR name = const_cast<LPOLESTR>(L"LogToSyslog");
      DISPID id = 0;
      object->GetIDsOfNames(IID_NULL, &name, 1, 0, &id);
      VARIANT argument;
      VariantInit(&argument);
      V_VT(&argument) = VT_BSTR;
      V_BSTR(&argument) = message.get();  // borrowed: not cleared
      DISPPARAMS params{&argument, nullptr, 1, 0};

      const auto early = [&] { return object->LogToSyslog(message.get()); };
      const auto late = [&] { return object->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr); };
      const auto byName = [&] {
        DISPID found = 0;
        const HRESULT hr = object->GetIDsOfNames(IID_NULL, &name, 1, 0, &found);
        if (FAILED(hr)) return hr;
        return object->Invoke(found, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
      };

      int arrived = 0;
      const int warmUp = calls / 10 + 1;
      bool allCalled = SecondsFor(warmUp, late, receiver, arrived).has_value();  // type information, sockets
      // Ten alternating rounds, so a machine that gets busier or quieter meanwhile weighs on
      // every variant alike.
      constexpr int kRounds = 10;
      const int perRound = calls / kRounds;
      double earlySeconds = 0, lateSeconds = 0, byNameSeconds = 0;
      const std::pair<double*, std::function<HRESULT()>> variants[] = {
          {&earlySeconds, early}, {&lateSeconds, late}, {&byNameSeconds, byName}};
      for (int round = 0; round < kRounds && allCalled; ++round) {
        for (const auto& [sum, call] : variants) {
          const auto seconds = SecondsFor(perRound, call, receiver, arrived);
          allCalled = allCalled && seconds.has_value();
          *sum += seconds.value_or(0);
        }
      }
      while (receiver.Receive(500)) ++arrived;  // stragglers, if any
      const int sent = allCalled ? warmUp + 3 * calls : -1;
      std::printf("datagrams: %d arrived of %d sent%s\n", arrived, sent, allCalled ? "" : " (a call failed)");
      if (arrived != sent) status = 1;
      const auto perCall = [&](double seconds) { return seconds / calls * 1e6; };
      std::printf("calls per variant:               %d (each sends one datagram to 127.0.0.1:%u)\n", calls,
                  receiver.port());
      std::printf("early-bound (table of functions): %.3f s, %.1f us per call\n", earlySeconds, perCall(earlySeconds));
      std::printf("late-bound (Invoke, DISPID kept):  %.3f s, %.1f us per call\n", lateSeconds, perCall(lateSeconds));
      std::printf("late-bound by name (as scripts):   %.3f s, %.1f us per call\n", byNameSeconds,
                  perCall(byNameSeconds));
      std::printf("ratio late/early:                  %.3f\n", lateSeconds / earlySeconds);
      std::printf("dispatch overhead per call:        %.1f us (by name: %.1f us)\n",
                  perCall(lateSeconds - earlySeconds), perCall(byNameSeconds - earlySeconds));
    }
  }
  CoUninitialize();
  return status;
}
