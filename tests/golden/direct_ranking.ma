relative rates of groups compared to Gamma

standard errors based on 4 bootstrap replicates

group	d	S.E.	significance

Alpha	0.469	0.280	 (insign.)
Beta	-0.293	0.302	 (insign.)
