A profile with a fault on nearly every line
#NAME 1AB 'Bad'
#NAME N5 'National-5'
#NAME N6 'Again'
#V 10000 4
#WIDTH 9
#WIDTH 5
#MISSING 9998 'Missing'
#NOTAPPLICABLE 99999 'Not applicable'
#TABLE SKL 'skill level' SOMETIMES
#TABLE SKL 'skill level' NEAREST
#V 10000 4
#V 10000 3
#V 20000 x
#L 4
#L 4 'Skill level 4'
#L 4 'Again'
#G 10000-19999 1 'Managers'
#GROUPING SKL 'again'
#GROUPING MAJ 'major group'
#G 19999-10000 1 'Managers'
#G 10000-19999 1 'Managers'
#G 20000-29999 2
#G 15000-25000 3 'Overlap'
#G 30000 1 'Another label'
#TABLE EMP 'empty' NONE
#FOO bar
#NAME 'unclosed
