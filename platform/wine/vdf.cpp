#include "platform/wine/vdf.h"

#include "platform/ascii.h"

namespace quorvel::vdf {
namespace {

bool IsNumber(std::string_view text) {
    if (text.empty()) {
        return false;
    }
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

enum class Kind { Text, Open, Close, End, Bad };

struct Token {
    Kind kind = Kind::End;
    std::string text;
};

class Tokenizer {
public:
    explicit Tokenizer(std::string_view text) : text_(text) {}

    // The next key, value or brace; conditions such as [$WIN32] are skipped.
    Token Next() {
        for (;;) {
            SkipSpaceAndComments();
            if (at_ >= text_.size()) {
                return {Kind::End, {}};
            }
            const char c = text_[at_];
            if (c == '[') {
                const std::size_t close = text_.find(']', at_);
                if (close == std::string_view::npos) {
                    return {Kind::Bad, {}};
                }
                at_ = close + 1;
                continue;
            }
            if (c == '{' || c == '}') {
                ++at_;
                return {c == '{' ? Kind::Open : Kind::Close, {}};
            }
            return c == '"' ? Quoted() : Word();
        }
    }

private:
    void SkipSpaceAndComments() {
        while (at_ < text_.size()) {
            const char c = text_[at_];
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f') {
                ++at_;
            } else if (c == '/' && at_ + 1 < text_.size() && text_[at_ + 1] == '/') {
                const std::size_t end = text_.find('\n', at_);
                at_ = end == std::string_view::npos ? text_.size() : end + 1;
            } else {
                return;
            }
        }
    }

    Token Quoted() {
        Token token{Kind::Text, {}};
        for (++at_; at_ < text_.size(); ++at_) {
            const char c = text_[at_];
            if (c == '"') {
                ++at_;
                return token;
            }
            if (c == '\\' && at_ + 1 < text_.size()) {
                const char next = text_[++at_];
                switch (next) {
                case 'n':
                    token.text += '\n';
                    break;
                case 't':
                    token.text += '\t';
                    break;
                case 'r':
                    token.text += '\r';
                    break;
                case '\\':
                case '"':
                case '\'':
                    token.text += next;
                    break;
                default: // not an escape: kept as written
                    token.text += '\\';
                    token.text += next;
                    break;
                }
                continue;
            }
            token.text += c;
        }
        return {Kind::Bad, {}}; // the quote is never closed
    }

    Token Word() {
        const std::size_t start = at_;
        while (at_ < text_.size()) {
            const char c = text_[at_];
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' ||
                c == '"' || c == '{' || c == '}') {
                break;
            }
            ++at_;
        }
        return {Kind::Text, std::string(text_.substr(start, at_ - start))};
    }

    std::string_view text_;
    std::size_t at_ = 0;
};

} // namespace

const Node* Node::Find(std::string_view name) const {
    for (const Node& child : children) {
        if (SameAsciiName(child.key, name)) {
            return &child;
        }
    }
    return nullptr;
}

std::optional<std::vector<Node>> Parse(std::string_view text) {
    Tokenizer tokens(text);
    Node root;
    root.isBlock = true;
    // The open blocks, innermost last. Only the innermost one grows, so the
    // pointers to the ones around it stay valid.
    std::vector<Node*> open{&root};
    for (;;) {
        Token key = tokens.Next();
        switch (key.kind) {
        case Kind::End:
            if (open.size() != 1) {
                return std::nullopt;
            }
            return std::move(root.children);
        case Kind::Close:
            if (open.size() == 1) {
                return std::nullopt;
            }
            open.pop_back();
            continue;
        case Kind::Open:
        case Kind::Bad:
            return std::nullopt;
        case Kind::Text:
            break;
        }
        Token value = tokens.Next();
        Node node;
        node.key = std::move(key.text);
        if (value.kind == Kind::Text) {
            node.value = std::move(value.text);
            open.back()->children.push_back(std::move(node));
        } else if (value.kind == Kind::Open) {
            if (open.size() > kMaxDepth) {
                return std::nullopt;
            }
            node.isBlock = true;
            open.back()->children.push_back(std::move(node));
            open.push_back(&open.back()->children.back());
        } else {
            return std::nullopt;
        }
    }
}

std::vector<std::string> LibraryFolders(std::string_view text) {
    std::vector<std::string> folders;
    const auto top = Parse(text);
    if (!top) {
        return folders;
    }
    for (const Node& list : *top) {
        if (!list.isBlock || !SameAsciiName(list.key, "libraryfolders")) {
            continue;
        }
        for (const Node& entry : list.children) {
            if (!IsNumber(entry.key)) {
                continue; // "TimeNextStatsReport", "ContentStatsID", ...
            }
            if (!entry.isBlock) {
                if (!entry.value.empty()) {
                    folders.push_back(entry.value);
                }
            } else if (const Node* path = entry.Find("path");
                       path != nullptr && !path->isBlock && !path->value.empty()) {
                folders.push_back(path->value);
            }
        }
    }
    return folders;
}

} // namespace quorvel::vdf
