relative rates of groups compared to macaques

standard errors based on 2 bootstrap replicates

group	d	S.E.	significance

hominids	0.006	0.026	 (insign.)
gibbon	-0.015	0.001	 (<0.0001)
