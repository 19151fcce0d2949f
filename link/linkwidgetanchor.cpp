// Keeps the windows library of this folder non-empty while its windows are written.
namespace {
[[maybe_unused]] int anchor = 0;
}
