#pragma once
// Lets every test class of an area register itself, so one executable per area
// runs them all and helpers can add files without touching a shared main.
#include <QObject>
#include <QString>
#include <functional>
#include <vector>

namespace testreg {

struct Entry {
    const char* name;
    std::function<QObject*()> make;
};

std::vector<Entry>& entries();

template <class T>
struct Registrar {
    explicit Registrar(const char* name) { entries().push_back({name, [] { return new T; }}); }
};

// Folder for renderings a person can look at (build-test/shots).
QString shotsDir();
// The checkout's root, for reading committed files in tests.
QString sourceDir();

} // namespace testreg

#define CORVELLINE_TEST(Class) static testreg::Registrar<Class> corvellineRegistrar_##Class(#Class);
