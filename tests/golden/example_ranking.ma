relative rates of groups compared to tarsier

standard errors based on 100 bootstrap replicates

group	d	S.E.	significance

apes	0.046	0.014	 (<0.01)
oldworld	0.034	0.016	 (<0.05)
newworld	0.031	0.017	 (insign.)
