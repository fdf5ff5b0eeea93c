relative rates of groups compared to porpoises

standard errors based on 2 bootstrap replicates

group	d	S.E.	significance

toothed	0.002	0.001	 (<0.05)
baleen	-0.009	0.003	 (<0.001)
dolphins	-0.013	0.000	 (<0.0001)
