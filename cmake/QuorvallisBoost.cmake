# Boost.Serialization for the catalogue file. The native build uses Debian's
# package; the Windows build uses the MinGW build that scripts/setup.sh caches.
find_package(Threads REQUIRED)
add_library(qv_boost_serialization INTERFACE)
if(CMAKE_CROSSCOMPILING)
  set(QUORVALLIS_BOOST_MINGW "$ENV{HOME}/.cache/quorvallis/boost-mingw" CACHE PATH
    "Boost.Serialization built with MinGW (scripts/setup.sh)")
  if(NOT EXISTS ${QUORVALLIS_BOOST_MINGW}/lib/libboost_wserialization.a)
    message(FATAL_ERROR "No MinGW Boost.Serialization in ${QUORVALLIS_BOOST_MINGW}; run scripts/setup.sh")
  endif()
  target_include_directories(qv_boost_serialization SYSTEM INTERFACE ${QUORVALLIS_BOOST_MINGW}/include)
  target_link_libraries(qv_boost_serialization INTERFACE
    ${QUORVALLIS_BOOST_MINGW}/lib/libboost_wserialization.a
    ${QUORVALLIS_BOOST_MINGW}/lib/libboost_serialization.a)
else()
  find_package(Boost 1.74 REQUIRED COMPONENTS serialization wserialization)
  target_link_libraries(qv_boost_serialization INTERFACE Boost::wserialization Boost::serialization)
endif()
