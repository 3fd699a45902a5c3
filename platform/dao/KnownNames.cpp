#include "platform/dao/KnownNames.h"

#include "platform/dao/JetSql.h"

#include <algorithm>
#include <cctype>
#include <deque>
#include <mutex>
#include <unordered_map>
#include <utility>

namespace kel::dao {

namespace {

struct Known {
    std::string spelling; // empty: the server had no such name
    bool text = false;
    bool yesNo = false;
};

std::string Folded(const std::string& word) {
    std::string folded = word;
    for (char& c : folded)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return folded;
}

bool Holds(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

// By database, the newest last; each database's words by their folded form. Bounded: the
// oldest database goes, and a database's words start again when too many were learnt.
class Memory {
public:
    static Memory& Instance() {
        static Memory* memory = new Memory; // never destroyed: used until the process ends
        return *memory;
    }

    DatabaseState::ServerNames Guess(const std::string& database,
                                     const std::vector<std::string>& words) {
        DatabaseState::ServerNames names;
        std::lock_guard<std::mutex> lock(m_lock);
        const auto* known = Find(database);
        for (const std::string& word : words) {
            const Known* k = nullptr;
            if (known) {
                const auto it = known->find(Folded(word));
                if (it != known->end())
                    k = &it->second;
            }
            if (k == nullptr) {
                names.stored.push_back(word); // as written
            } else if (!k->spelling.empty() && !Holds(names.stored, k->spelling)) {
                names.stored.push_back(k->spelling);
                if (k->text)
                    names.text.push_back(k->spelling);
                if (k->yesNo)
                    names.yesNo.push_back(k->spelling);
            }
        }
        return names;
    }

    void Learn(const std::string& database, const std::vector<std::string>& words,
               const DatabaseState::ServerNames& found) {
        std::lock_guard<std::mutex> lock(m_lock);
        auto* known = Find(database);
        if (known == nullptr) {
            if (m_databases.size() >= kMostDatabases)
                m_databases.pop_front();
            m_databases.emplace_back(database, Words());
            known = &m_databases.back().second;
        }
        if (known->size() + words.size() > kMostWords)
            known->clear();
        for (const std::string& word : words) {
            Known k;
            k.spelling = SpellingOf(found.stored, word);
            k.text = !k.spelling.empty() && Holds(found.text, k.spelling);
            k.yesNo = !k.spelling.empty() && Holds(found.yesNo, k.spelling);
            (*known)[Folded(word)] = std::move(k);
        }
    }

private:
    using Words = std::unordered_map<std::string, Known>;
    static constexpr size_t kMostDatabases = 16;
    static constexpr size_t kMostWords = 4096;

    Words* Find(const std::string& database) {
        for (auto& [name, words] : m_databases)
            if (name == database)
                return &words;
        return nullptr;
    }

    std::mutex m_lock;
    std::deque<std::pair<std::string, Words>> m_databases;
};

} // namespace

DatabaseState::ServerNames GuessedNames(const std::string& database,
                                        const std::vector<std::string>& words) {
    return Memory::Instance().Guess(database, words);
}

void LearnNames(const std::string& database, const std::vector<std::string>& words,
                const DatabaseState::ServerNames& found) {
    Memory::Instance().Learn(database, words, found);
}

} // namespace kel::dao
