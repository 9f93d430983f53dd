DATA LIST
 FILE='@DIR@/five.asc'
 RECORD=1/
 REC_ID 1-4 (A)
 JOBF5 5-9
 JOBSKL 10
 JOBMAJ 11
 FJOBF5 12-16
 FJOBMAJ 17
.
VARIABLE LABELS
 REC_ID
 "Respondent number"
 JOBF5
 "Job of respondent (Five-2026)"
 JOBSKL
 "Job of respondent skill level"
 JOBMAJ
 "Job of respondent major group"
 FJOBF5
 "Job of father (Five-2026)"
 FJOBMAJ
 "Job of father major group"
.
VALUE LABELS
 JOBF5
 FJOBF5
 10000 "Managers"
 11000 "Chief executives"
 11100 "Executives"
 11200 "Directors"
 20000 "Professionals"
 21000 "Engineers"
 21100 "Civil engineers"
 21200 "Software engineers"
 99998 "Missing data"
 99999 "Not applicable"
.
VALUE LABELS
 JOBSKL
 3 "Skill level 3"
 4 "Skill level 4"
 8 "Missing data"
 9 "Not applicable"
.
VALUE LABELS
 JOBMAJ
 FJOBMAJ
 1 "Managers"
 2 "Professionals"
 8 "Missing data"
 9 "Not applicable"
.
MIS VAL
 JOBF5
 FJOBF5
 (99998).
MIS VAL
 JOBSKL
 (8).
MIS VAL
 JOBMAJ
 FJOBMAJ
 (8).
RECODE
 JOBF5
 FJOBF5
 (99999=SYSMIS).
RECODE
 JOBSKL
 (9=SYSMIS).
RECODE
 JOBMAJ
 FJOBMAJ
 (9=SYSMIS).
