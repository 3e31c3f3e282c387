// A value set for the length of a scope and restored when it ends, also
// when the scope is left by an exception.
#pragma once

namespace mirvo::beregning {

template <class T>
class Beholde {
public:
    Beholde(T& ref, T tmp) : FRef(ref), FOld(ref) { ref = tmp; }
    ~Beholde() { FRef = FOld; }
    Beholde(const Beholde&) = delete;
    Beholde& operator=(const Beholde&) = delete;

private:
    T& FRef;
    T FOld;
};

}  // namespace mirvo::beregning
