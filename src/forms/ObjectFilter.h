#pragma once
// Which objects a note file may bring along. Reading a file creates the
// handler of every object in it, and a linked object reaches out to its
// source (a share on another machine, too): a file from someone else may
// bring only static pictures and embedded objects of the classes the
// insert-object dialog offers, never a package, never a link.

#include <windows.h>
#include <objidl.h>

#include <optional>
#include <string>

namespace tav {

// Nothing when the object may be read; otherwise the name to tell the user
// (the class's name, its CLSID where it has none).
std::optional<std::string> refusedObject(const CLSID& clsid, IStorage* storage);

}  // namespace tav
