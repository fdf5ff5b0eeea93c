relative rates of groups compared to macaques

standard errors based on 2 bootstrap replicates

group	d	S.E.	significance

hominids	0.003	0.015	 (insign.)
gibbon	-0.010	0.002	 (<0.0001)
