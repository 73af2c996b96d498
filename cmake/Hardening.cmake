# Optimised builds, and so the package, are hardened with the flags Debian builds its own
# packages with (dpkg-buildflags with hardening=+all): stack protector, fortified C library
# calls, format checks, position-independent executables, and the whole relocation table
# read-only after start-up (RELRO with BIND_NOW). Sanitizer and fuzz builds go without:
# their run-time checks overlap the fortified calls, and _FORTIFY_SOURCE needs optimisation.
option(ZO_HARDEN "Harden optimised builds as Debian's packages are" ON)
if(ZO_HARDEN AND ZO_SANITIZE STREQUAL "" AND NOT ZO_FUZZ)
    include(CheckPIESupported)
    check_pie_supported(LANGUAGES C CXX)
    set(CMAKE_POSITION_INDEPENDENT_CODE ON)
    set(zo_optimised $<CONFIG:Release,RelWithDebInfo,MinSizeRel>)
    add_compile_options(-fstack-protector-strong -Wformat -Werror=format-security -Wdate-time
                        $<${zo_optimised}:-D_FORTIFY_SOURCE=2>)
    add_link_options(-Wl,-z,relro -Wl,-z,now)
endif()
