# Configures the project once per missing package, each in a fresh build
# folder, and checks that the configure step stops and names the Debian
# package to install. Run with -DFUENTE=<source tree> -DTRABAJO=<scratch>.
#
# A package is made missing the way a machine without it would look:
# CMake's own switch that makes one find_package find nothing (the Qt
# component alone, or GoogleTest), or a pkg-config search path that holds
# nothing (libusb), or only what the packages before it need (xcb), or a
# folder without them (the gputils processor headers, Qt's translations), or
# a program path that leads nowhere (openbox, xdotool, xwininfo).
cmake_minimum_required(VERSION 3.25)

set(casos
  "Qt6Test|-DCMAKE_DISABLE_FIND_PACKAGE_Qt6Test=TRUE||qt6-base-dev"
  "Qt6Widgets|-DCMAKE_DISABLE_FIND_PACKAGE_Qt6Widgets=TRUE||qt6-base-dev"
  "GTest|-DCMAKE_DISABLE_FIND_PACKAGE_GTest=TRUE||libgtest-dev"
  "libusb||PKG_CONFIG_LIBDIR=${TRABAJO}/sin-pkgconfig|libusb-1.0-0-dev"
  "gputils|-DGPUTILS_HEADER_DIR=${TRABAJO}/sin-gputils||gputils"
  "Qt translations|-DKORVANE_QT_TRADUCCIONES=${TRABAJO}/sin-traducciones||qt6-translations-l10n"
  "xcb||PKG_CONFIG_LIBDIR=${TRABAJO}/solo-libusb|libxcb1-dev"
  "openbox|-DOPENBOX_EXECUTABLE=${TRABAJO}/sin-openbox/openbox||openbox"
  "xdotool|-DXDOTOOL_EXECUTABLE=${TRABAJO}/sin-xdotool/xdotool||xdotool"
  "xwininfo|-DXWININFO_EXECUTABLE=${TRABAJO}/sin-xwininfo/xwininfo||x11-utils")

# A search path that holds libusb and nothing else, for the packages found
# after it.
execute_process(COMMAND pkg-config --variable=pcfiledir libusb-1.0 OUTPUT_VARIABLE dir_usb
                OUTPUT_STRIP_TRAILING_WHITESPACE)
file(MAKE_DIRECTORY ${TRABAJO}/solo-libusb)
file(COPY ${dir_usb}/libusb-1.0.pc DESTINATION ${TRABAJO}/solo-libusb)

set(fallos 0)
foreach(caso ${casos})
  string(REPLACE "|" ";" partes "${caso}")
  list(GET partes 0 nombre)
  list(GET partes 1 opcion)
  list(GET partes 2 entorno)
  list(GET partes 3 paquete)
  set(dir ${TRABAJO}/${nombre})
  file(REMOVE_RECURSE ${dir})
  file(MAKE_DIRECTORY ${TRABAJO}/sin-pkgconfig)
  set(orden ${CMAKE_COMMAND} -S ${FUENTE} -B ${dir} -G Ninja)
  if(opcion)
    list(APPEND orden ${opcion})
  endif()
  if(entorno)
    set(orden ${CMAKE_COMMAND} -E env ${entorno} ${orden})
  endif()
  execute_process(COMMAND ${orden} RESULT_VARIABLE r OUTPUT_VARIABLE salida ERROR_VARIABLE errores)
  file(REMOVE_RECURSE ${dir})
  if(r EQUAL 0)
    message(SEND_ERROR "${nombre} missing: the configure step succeeded")
    math(EXPR fallos "${fallos} + 1")
  elseif(NOT errores MATCHES "${paquete}")
    message(SEND_ERROR "${nombre} missing: the configure step failed without naming ${paquete}:\n${errores}")
    math(EXPR fallos "${fallos} + 1")
  else()
    message(STATUS "${nombre} missing: stopped, naming ${paquete}")
  endif()
endforeach()
if(fallos)
  message(FATAL_ERROR "${fallos} missing package(s) did not stop the build")
endif()
