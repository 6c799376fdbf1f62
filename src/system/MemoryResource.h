#ifndef CUBOMB_SYSTEM_MEMORYRESOURCE_H
#define CUBOMB_SYSTEM_MEMORYRESOURCE_H

// Memory resources and the containers that allocate from them, as
// pmr::map and so on: the C++ library of Emscripten keeps them among its
// experiments, a desktop's among the standard ones.

#if __has_include(<memory_resource>)
#include <map>
#include <memory_resource>
#include <set>
#include <vector>
namespace pmr = std::pmr;
#else
#include <experimental/map>
#include <experimental/memory_resource>
#include <experimental/set>
#include <experimental/vector>
namespace pmr = std::experimental::pmr;
#endif

#endif
