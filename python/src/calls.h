// How the native module's functions are called through Python's C API
// (date_bindings.cpp): their arguments as the interpreter passes them, their
// errors, their str results, and the formatters and readers they keep.
#pragma once

#include "module.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <new>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <shamsi/text.h>

namespace ShamsiPython {

// A new reference, or the error that came instead of one.
inline PyObject* Owned(PyObject* object) {
    if (object == nullptr) {
        throw py::error_already_set();
    }
    return object;
}

// Runs a function that gives a new reference or throws, for the interpreter:
// an exception becomes the Python error it stands for, and nullptr.
template <typename Function>
PyObject* Guarded(Function&& function) noexcept {
    try {
        return std::forward<Function>(function)();
    } catch (py::error_already_set& error) {
        error.restore();
    } catch (const py::builtin_exception& error) {
        error.set_error();
    } catch (const std::bad_alloc&) {
        PyErr_NoMemory();
    } catch (const std::exception& error) {
        PyErr_SetString(PyExc_RuntimeError, error.what());
    }
    return nullptr;
}

// --- Arguments -----------------------------------------------------------------

// A call's arguments as the interpreter passes them (the positional ones,
// then the values of the keywords named in `keywords`), bound to the
// parameters' names; nullptr for a parameter not given. TypeError, worded as
// Python's own, for too many, unknown, repeated or missing arguments.
template <std::size_t N>
std::array<PyObject*, N> Bind(const char* function, const std::array<const char*, N>& names,
                              std::size_t required, PyObject* const* args, Py_ssize_t positional,
                              PyObject* keywords) {
    std::array<PyObject*, N> bound{};
    const auto count = static_cast<std::size_t>(positional);
    if (count > N) {
        throw py::type_error(std::string(function) + "() takes at most " + std::to_string(N) +
                             " arguments (" + std::to_string(count) + " given)");
    }
    std::copy_n(args, count, bound.begin());
    const Py_ssize_t named = keywords == nullptr ? 0 : PyTuple_GET_SIZE(keywords);
    for (Py_ssize_t k = 0; k < named; ++k) {
        PyObject* name = PyTuple_GET_ITEM(keywords, k);
        const auto* slot = std::find_if(names.begin(), names.end(), [&](const char* parameter) {
            return PyUnicode_CompareWithASCIIString(name, parameter) == 0;
        });
        if (slot == names.end()) {
            throw py::type_error(std::string(function) + "() got an unexpected keyword argument '" +
                                 py::str(name).cast<std::string>() + "'");
        }
        PyObject*& value = bound[static_cast<std::size_t>(slot - names.begin())];
        if (value != nullptr) {
            throw py::type_error(std::string(function) + "() got multiple values for argument '" + *slot +
                                 "'");
        }
        value = args[count + static_cast<std::size_t>(k)];
    }
    for (std::size_t i = 0; i < required; ++i) {
        if (bound[i] == nullptr) {
            throw py::type_error(std::string(function) + "() missing required argument '" + names[i] + "'");
        }
    }
    return bound;
}

// A str argument's UTF-8 (kept by the object), or the default when not given.
inline std::string_view TextArgument(PyObject* value, const char* function, const char* parameter,
                                     std::string_view otherwise = {}) {
    if (value == nullptr) {
        return otherwise;
    }
    if (!PyUnicode_Check(value)) {
        throw py::type_error(std::string(function) + "() argument '" + parameter + "' must be str, not " +
                             Py_TYPE(value)->tp_name);
    }
    Py_ssize_t size = 0;
    const char* bytes = PyUnicode_AsUTF8AndSize(value, &size);
    if (bytes == nullptr) {
        throw py::error_already_set();
    }
    return {bytes, static_cast<std::size_t>(size)};
}

// --- Patterns, made once ------------------------------------------------------------

// What was last made from a few str arguments, kept for the next call with
// the same ones: a formatter or a reader reads its pattern once, which costs
// more than writing or reading a date. The same str objects are found by
// their addresses (the entry holds them, so no other object can come at the
// same address), equal ones by their texts. The interpreter's lock guards it.
template <typename Value, std::size_t kKeys>
class Recent {
public:
    using Objects = std::array<PyObject*, kKeys>;  // nullptr: not given
    using Texts = std::array<std::string_view, kKeys>;

    // texts(): the objects' texts (a default for one not given); make(texts): the value.
    template <typename TextsOf, typename Make>
    const Value& Get(const Objects& objects, TextsOf textsOf, Make make) {
        for (const Entry& entry : entries_) {
            if (entry.objects == objects) {
                return entry.value;
            }
        }
        const Texts texts = textsOf();
        for (Entry& entry : entries_) {
            if (std::equal(entry.texts.begin(), entry.texts.end(), texts.begin())) {
                entry.Hold(objects);
                return entry.value;
            }
        }
        Entry made{{}, {}, make(texts)};
        std::copy(texts.begin(), texts.end(), made.texts.begin());
        made.Hold(objects);
        if (entries_.size() < kKept) {
            entries_.reserve(kKept);
            entries_.push_back(std::move(made));
            return entries_.back().value;
        }
        Entry& replaced = entries_[next_];
        next_ = (next_ + 1) % kKept;
        replaced.Hold({});
        replaced = std::move(made);
        return replaced.value;
    }

private:
    struct Entry {
        Objects objects;
        std::array<std::string, kKeys> texts;
        Value value;

        void Hold(const Objects& given) {
            for (std::size_t i = 0; i < kKeys; ++i) {
                Py_XINCREF(given[i]);
                Py_XDECREF(objects[i]);
                objects[i] = given[i];
            }
        }
    };
    static constexpr std::size_t kKept = 8;
    std::vector<Entry> entries_;
    std::size_t next_ = 0;
};

// The formatter of a format, digits and names given to a function (nullptr:
// not given, 'ascii' and 'iranian').
inline const Shamsi::Formatter& FormatterFor(const std::array<PyObject*, 3>& arguments, const char* function,
                                             const char* formatName) {
    static Recent<Shamsi::Formatter, 3> formatters;
    return formatters.Get(
        arguments,
        [&] {
            return std::array<std::string_view, 3>{TextArgument(arguments[0], function, formatName),
                                                   TextArgument(arguments[1], function, "digits", "ascii"),
                                                   TextArgument(arguments[2], function, "names", "iranian")};
        },
        [](const std::array<std::string_view, 3>& texts) {
            return MakeFormatter(std::string(texts[0]), std::string(texts[1]), std::string(texts[2]));
        });
}

inline const Shamsi::Reader& ReaderFor(PyObject* pattern) {
    static Recent<Shamsi::Reader, 1> readers;
    return readers.Get(
        {pattern}, [&] { return std::array<std::string_view, 1>{TextArgument(pattern, "strptime", "fmt")}; },
        [](const std::array<std::string_view, 1>& texts) {
            Shamsi::Reader reader(texts[0], Shamsi::Calendar::kShamsi);
            if (!reader.Error().empty()) {
                throw py::value_error(Refused(texts[0], reader.Error()));
            }
            return reader;
        });
}

// A str of valid UTF-8 (what a formatter writes), made in two passes over
// its bytes (how many characters, and the widest, from the lead bytes; then
// the code points) straight into the str's own storage:
// PyUnicode_DecodeUTF8 takes several times as long on Persian text.
inline PyObject* NewStr(std::string_view utf8) {
    std::size_t count = 0;
    unsigned widest = 0;
    for (const char byte : utf8) {
        const auto lead = static_cast<unsigned char>(byte);
        count += static_cast<std::size_t>((lead & 0xC0U) != 0x80U);
        widest = std::max<unsigned>(widest, lead);
    }
    const Py_UCS4 largest = widest < 0x80U   ? 0x7F
                            : widest < 0xC4U ? 0xFF
                            : widest < 0xF0U ? 0xFFFF
                                             : 0x10FFFF;
    PyObject* text = Owned(PyUnicode_New(static_cast<Py_ssize_t>(count), largest));
    void* data = PyUnicode_DATA(text);
    switch (PyUnicode_KIND(text)) {
        case PyUnicode_1BYTE_KIND:
            DecodeUtf8(utf8, static_cast<Py_UCS1*>(data));
            break;
        case PyUnicode_2BYTE_KIND:
            DecodeUtf8(utf8, static_cast<Py_UCS2*>(data));
            break;
        default:
            DecodeUtf8(utf8, static_cast<Py_UCS4*>(data));
            break;
    }
    return text;
}

// What write(out) writes at out (room for the formatter's MaxSize() bytes),
// as a str.
template <typename Write>
PyObject* Written(const Shamsi::Formatter& formatter, Write write) {
    constexpr std::size_t kOnStack = 256;
    std::array<char, kOnStack> bytes;  // NOLINT(cppcoreguidelines-pro-type-member-init): written before read
    std::string heap;
    char* out = bytes.data();
    if (formatter.MaxSize() > kOnStack) {
        heap.resize(formatter.MaxSize());
        out = heap.data();
    }
    const char* end = write(out);
    return NewStr({out, static_cast<std::size_t>(end - out)});
}

}  // namespace ShamsiPython
