// What late binding costs: N LogToSyslog calls through IDispatch::Invoke against N calls
// through the table of functions, each sending one datagram to a receiver on 127.0.0.1.
// Prints its figures; it judges nothing.
#include <windows.h>
#include <oleauto.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "Pendrake_h.h"
#include "pendrake/owners.h"
#include "com_test_support.h"
#include "loopback_receiver.h"

namespace {

using pendrake::owners::ComPtr;
using pendrake::owners::UniqueBstr;
using Clock = std::chrono::steady_clock;

double SecondsFor(int calls, const std::function<HRESULT()>& call, pendrake::winetest::LoopbackReceiver& receiver) {
  const auto start = Clock::now();
  for (int i = 0; i < calls; ++i) {
    if (FAILED(call())) {
      std::printf("call %d failed\n", i);
      return -1;
    }
    if (i % 64 == 0) receiver.Drain();
  }
  return std::chrono::duration<double>(Clock::now() - start).count();
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

      SecondsFor(calls / 10 + 1, late, receiver);  // warm-up: type information, sockets layer
      // Ten alternating rounds, so a machine that gets busier or quieter meanwhile weighs on
      // every variant alike.
      constexpr int kRounds = 10;
      const int perRound = calls / kRounds;
      double earlySeconds = 0, lateSeconds = 0, byNameSeconds = 0;
      for (int round = 0; round < kRounds; ++round) {
        earlySeconds += SecondsFor(perRound, early, receiver);
        lateSeconds += SecondsFor(perRound, late, receiver);
        byNameSeconds += SecondsFor(perRound, byName, receiver);
      }
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
