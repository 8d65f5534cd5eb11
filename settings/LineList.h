#pragma once
// The lines of a whole file, as the list reader returns them: one block of
// text and the place of each line in it, so that a file of many lines costs
// two allocations rather than one a line.
#include <string>
#include <string_view>
#include <vector>

class TLineList {
public:
    struct Span {
        size_t start;
        size_t length;
    };

    TLineList() = default;
    TLineList(std::wstring text, std::vector<Span> spans)
        : text_(std::move(text)), spans_(std::move(spans)) {}

    size_t size() const { return spans_.size(); }
    bool empty() const { return spans_.empty(); }
    std::wstring_view operator[](size_t index) const {
        return std::wstring_view(text_).substr(spans_[index].start, spans_[index].length);
    }

    class const_iterator {
    public:
        const_iterator(const TLineList* list, size_t index) : list_(list), index_(index) {}
        std::wstring_view operator*() const { return (*list_)[index_]; }
        const_iterator& operator++() {
            ++index_;
            return *this;
        }
        bool operator==(const const_iterator& other) const { return index_ == other.index_; }

    private:
        const TLineList* list_;
        size_t index_;
    };
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, spans_.size()}; }

    // Each line as a string of its own.
    std::vector<std::wstring> ToStrings() const {
        std::vector<std::wstring> lines;
        lines.reserve(size());
        for (const std::wstring_view line : *this) lines.emplace_back(line);
        return lines;
    }

private:
    std::wstring text_;
    std::vector<Span> spans_;
};
