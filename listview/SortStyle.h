#pragma once

// How the sorting level sorts: on a header click or not, and by which comparison.
enum TAutoColumnSort : unsigned char
{
    acsNoSort = 0,
    acsSort = 1,
    acsSortToggle = 2
};
enum TAutoSortStyle : unsigned char
{
    assSmart = 0,
    assDefault = 1
};
