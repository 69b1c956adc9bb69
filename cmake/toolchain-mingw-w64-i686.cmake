# Cross build for 32-bit Windows with Debian's MinGW-w64 (posix thread model). This build makes
# Pendrake.dll only: the client ships as x64, and the x86 component is tested from the x64 build
# under Wine's 32-bit half.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(PENDRAKE_TRIPLE i686-w64-mingw32)
set(PENDRAKE_WIDL_TARGET --win32)
set(PENDRAKE_COMPONENT_ONLY ON)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-cross.cmake)
# x86 exports are decorated (_DllGetClassObject@12); the .def file names them plainly and the
# linker maps the two without remark.
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-Wl,--enable-stdcall-fixup")
