Profile of the five-digit test classification
#NAME F5 'Five-2026'
#WIDTH 5
#MISSING 99998 'Missing data'
#NOTAPPLICABLE 99999 'Not applicable'
#TABLE SKL 'skill level' NEAREST
#V 10000 4
#V 11200 3
#V 20000 4
#L 3 'Skill level 3'
#L 4 'Skill level 4'
#GROUPING MAJ 'major group'
#G 10000-19999 1 'Managers'
#G 20000-29999 2 'Professionals'
