relative rates of groups compared to porpoises

standard errors based on 2 bootstrap replicates

group	d	S.E.	significance

toothed	0.005	0.002	 (<0.05)
baleen	-0.008	0.004	 (<0.05)
dolphins	-0.013	0.000	 (<0.0001)
